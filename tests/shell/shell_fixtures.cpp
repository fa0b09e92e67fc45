#include "shell/shell_fixtures.h"

#include <cstring>
#include <stdexcept>

#include "platform/files.h"

void write_png(const TempGameFolder& folder, const std::string& logical_path, int width, int height, int r, int g,
               int b) {
    folder.write_png(logical_path, width, height, [=](int, int) { return RGB(r, g, b); });
}

const std::vector<SheetFixture>& sheet_fixtures() {
    // Sizes chosen so each measured sheet has its own column and row count,
    // some not a whole number of cells (measuring truncates).
    static const std::vector<SheetFixture> sheets = {
        {"graphics\\characters.png", 256, 128}, {"graphics\\frame.png", 96, 192},
        {"graphics\\abilities.png", 256, 128},  {"graphics\\splash.png", 300, 200},
        {"graphics\\monster.png", 256, 97},     {"graphics\\mousepointer.png", 16, 16},
        {"graphics\\blood.png", 32, 32},        {"graphics\\powers.png", 250, 96},
        {"graphics\\cursor.png", 32, 32},       {"graphics\\starsprites.png", 320, 32},
        {"graphics\\missiles.png", 160, 64},    {"graphics\\light1.png", 416, 416},
        {"graphics\\light2.png", 416, 416},     {"graphics\\light3.png", 416, 416},
        {"graphics\\light4.png", 416, 416},     {"graphics\\light5.png", 416, 416},
        {"graphics\\light6.png", 416, 416},     {"graphics\\light7.png", 416, 416},
        {"graphics\\items.png", 256, 192},      {"graphics\\fx.png", 128, 33},
    };
    return sheets;
}

void write_all_graphics(const TempGameFolder& folder) {
    for (const SheetFixture& sheet : sheet_fixtures()) write_png(folder, sheet.file, sheet.width, sheet.height);
}

void write_preferences(const TempGameFolder& folder, const std::string& attributes) {
    folder.write("config\\preferences.xml",
                 "<?xml version=\"1.0\"?>\n<Umbrane_Preferences " + attributes + "/>\n");
}
