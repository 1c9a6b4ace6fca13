// The small preview that the display properties show in their monitor picture: a child of
// the host window, filling it, with the program's picture centred on the desktop colour, at
// its own size or, as the show's pictures with PictureSize "1", fitted to the host.
#pragma once

#include <windows.h>

#include "config/show_modes.h"

namespace qv::saver::win32 {

inline constexpr int kPreviewArtWidth = 152;
inline constexpr int kPreviewArtHeight = 112;

// Runs until the preview window goes, with its host or when the host no longer exists.
int RunPreviewWindow(HINSTANCE instance, HWND host,
                     config::PictureSize size = config::PictureSize::OwnSize);

}  // namespace qv::saver::win32
