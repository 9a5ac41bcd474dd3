#include "file_names.h"

#include <gtest/gtest.h>

namespace velmar {
namespace {

TEST(IsReservedDeviceName, DeviceNamesWhateverTheCaseAndExtension) {
  for (std::string_view name : {"con", "CON.table", "Prn.txt", "aux", "nul.tar.gz", "com1.table", "COM9",
                                "lpt0.table", "Lpt5", "con .table", "conin$", "CONOUT$.x",
                                "com\xC2\xB9.table", "LPT\xC2\xB3"})
    EXPECT_TRUE(IsReservedDeviceName(name)) << name;
  for (std::string_view name : {"", "console.table", "com10.table", "com.table", "comA.table", "xcon.table",
                                "nul_.table", "lpt\xC2\xB4.table", "my con.table", ".con", "con1.table"})
    EXPECT_FALSE(IsReservedDeviceName(name)) << name;
}

}  // namespace
}  // namespace velmar
