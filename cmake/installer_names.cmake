# The names the installers need, read from the programs' own headers, so that no name is
# spelled a second time in installer/quorvanes.nsi or installer/quorvanes.wxs.
#
# Each name is one `inline constexpr std::string_view NAME = "text";` of a header under
# src/ (the text may stand on the next line, and be split into adjacent literals); C++'s escapes \\ and \" are undone, and one
# leading backslash is dropped (the programs append "\Preshows" or "\QVTIcon.exe" to a
# folder; the installers want the bare name). A name that is missing from its header, or
# defined twice in it, stops the configuration: the installers would otherwise be made with
# a name the programs no longer use.
#
#   qv_installer_names(OUT_VAR)  sets OUT_VAR to a list of DEFINE=text, one per name below,
#                                and QV_NAME_<DEFINE> to each text.

# define           header                    name in the header
set(QV_INSTALLER_NAME_TABLE
  PRODUCT          common/install_names.h    kProductName
  PUBLISHER        common/install_names.h    kPublisher
  PROGRAM_FOLDER   common/install_names.h    kProgramFolder
  MENU_FOLDER      common/install_names.h    kStartMenuFolder
  TESSELS_FOLDER   common/install_names.h    kTesselsFolder
  LINK_FILE        common/install_names.h    kBrowserLinkFile
  UNINSTALLER      common/install_names.h    kUninstallerFile
  USER_SETUP_FILE  common/install_names.h    kUserSetupFile
  ACTIVE_SETUP_KEY common/install_names.h    kActiveSetupKeyPath
  ACTIVE_SETUP_VERSION common/install_names.h kActiveSetupVersion
  SETTINGS_LNK     common/install_names.h    kSettingsShortcut
  TURN_ON_LNK      common/install_names.h    kTurnOnShortcut
  UNINSTALL_LNK    common/install_names.h    kUninstallShortcut
  RUN_KEY          common/install_names.h    kRunKeyPath
  RUN_TRAY         common/install_names.h    kRunTrayValue
  RUN_LINK         common/install_names.h    kRunBrowserLinkValue
  UNINSTALL_KEY    common/install_names.h    kUninstallKeyPath
  SAMPLE_ROTATION  common/install_names.h    kSampleRotation
  MSI_INSTALLDIR_VALUE common/install_names.h kMsiInstallDirValue
  SAVER_HOST       common/shared_names.h     kSaverHostName
  TRAY_CLASS       common/shared_names.h     kTrayWindowClass
  TRAY_TITLE       common/shared_names.h     kTrayWindowTitle
  LINK_TITLE       common/shared_names.h     kBrowserLinkTitle
  CONFIG_KEY       config/names.h            kKeyPath
  PRODUCT_KEY      config/names.h            kIniViewPath
  PRESHOWS_FOLDER  config/names.h            kPreshowsFolder
  V_TESSELS_DIR    config/names.h            TesselsDir
  V_INSTALL_LOC    config/names.h            InstallLocation
  V_SAVER          config/names.h            Saver
  V_TESSEL         config/names.h            Tessel
  V_SAVER_TYPE     config/names.h            ScreenSaverType
  SYSTEM_INI       config/names.h            kSystemIni
  BOOT_SECTION     config/names.h            kBootSection
  SCRNSAVE_KEY     config/names.h            kScrnSaveKey
  TRAY_FILE        settings/options.h        kTrayProgram
  ADVERT_FILE      adbanner/advert_abi.h     kLibraryName
)

# The texts of every string_view name in HEADER, as QV_HEADER_<name> in the caller.
function(qv_read_header_names header)
  set(path ${PROJECT_SOURCE_DIR}/src/${header})
  if(NOT EXISTS ${path})
    message(FATAL_ERROR "installer names: ${header} does not exist")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${path})
  file(READ ${path} text)
  set(string_re "\"([^\"\\\\]|\\\\.)*\"")
  string(REGEX MATCHALL
    "inline constexpr std::string_view [A-Za-z0-9_]+ =([ \t\r\n]*${string_re})+" found "${text}")
  set(seen "")
  foreach(line IN LISTS found)
    string(REGEX MATCH "std::string_view ([A-Za-z0-9_]+) =" _ "${line}")
    set(name ${CMAKE_MATCH_1})
    if(name IN_LIST seen)
      message(FATAL_ERROR "installer names: ${name} is defined twice in ${header}")
    endif()
    list(APPEND seen ${name})
    # (A CMake list cannot hold a ";": a name's text never has one.)
    # Adjacent literals are one text, as in C++ (clang-format splits a long one so).
    string(REGEX REPLACE "^[^=]*=" "" literals "${line}")
    string(REGEX MATCHALL "${string_re}" pieces "${literals}")
    set(value "")
    foreach(piece IN LISTS pieces)
      string(REGEX REPLACE "^\"(.*)\"$" "\\1" piece "${piece}")
      string(APPEND value "${piece}")
    endforeach()
    # Undo C++'s escapes: \\ and \" (the only ones a name may use).
    string(ASCII 1 mark)
    string(REPLACE "\\\\" "${mark}" value "${value}")
    string(REPLACE "\\\"" "\"" value "${value}")
    if(value MATCHES "\\\\")
      message(FATAL_ERROR "installer names: ${name} in ${header} uses an escape other than \\\\ and \\\"")
    endif()
    string(REPLACE "${mark}" "\\" value "${value}")
    string(REGEX REPLACE "^\\\\" "" value "${value}")
    set(QV_HEADER_${name} "${value}" PARENT_SCOPE)
  endforeach()
endfunction()

function(qv_installer_names out_var)
  set(table ${QV_INSTALLER_NAME_TABLE})
  set(defines "")
  set(headers_read "")
  while(table)
    list(POP_FRONT table define header name)
    if(NOT header IN_LIST headers_read)
      qv_read_header_names(${header})
      list(APPEND headers_read ${header})
    endif()
    if(NOT DEFINED QV_HEADER_${name})
      message(FATAL_ERROR "installer names: ${name} is not in src/${header} (the installers need "
        "it as ${define}; see cmake/installer_names.cmake)")
    endif()
    list(APPEND defines "${define}=${QV_HEADER_${name}}")
    set(QV_NAME_${define} "${QV_HEADER_${name}}" PARENT_SCOPE)
  endwhile()
  set(${out_var} "${defines}" PARENT_SCOPE)
endfunction()

# Fails when an installer source spells one of the names itself, in double quotes, instead
# of taking it from its define. "InstallLocation" is also the name of a value of Windows' own
# (the program removal entry's folder), which the NSIS script writes under that name.
set(QV_INSTALLER_NAMES_ALSO_WINDOWS V_INSTALL_LOC)
function(qv_check_installer_source source)
  file(READ ${source} text)
  set(table ${QV_INSTALLER_NAME_TABLE})
  while(table)
    list(POP_FRONT table define header name)
    if(define IN_LIST QV_INSTALLER_NAMES_ALSO_WINDOWS)
      continue()
    endif()
    set(value "${QV_NAME_${define}}")
    string(FIND "${text}" "\"${value}\"" at)
    if(NOT at EQUAL -1)
      message(FATAL_ERROR "${source} spells \"${value}\" itself: use its define ${define} "
        "(from ${name} in src/${header})")
    endif()
  endwhile()
endfunction()
