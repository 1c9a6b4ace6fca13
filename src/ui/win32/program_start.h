// What every program does first.
#pragma once

namespace qv::ui::win32 {

// Libraries loaded by bare name come from the program's own folder and the system folders
// only, never from the current folder or PATH: a library planted beside a document or in
// the Tessels folder must not be loaded. Where the system lacks the call (before the
// update that brought it), the current folder is at least taken out of the search.
void HardenDllSearch();

}  // namespace qv::ui::win32
