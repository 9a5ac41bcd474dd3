#pragma once
// File names Windows keeps for its devices.
#include <string_view>

namespace velmar {

// True when Windows takes a file of this name for a device (CON, PRN, AUX,
// NUL, COM0 to COM9, LPT0 to LPT9, the superscript COM¹ to LPT³, CONIN$,
// CONOUT$), whatever the case and whatever extension follows: "com1.table"
// and "Con .txt" open the device, not a file. `name` is a file name without
// folders, in UTF-8.
bool IsReservedDeviceName(std::string_view name);

}  // namespace velmar
