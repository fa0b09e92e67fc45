// Fonts: a face name is turned into a font file through fontconfig, opened
// with SDL2_ttf at 96 DPI (the resolution the game's point sizes were chosen
// for).
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <map>
#include <tuple>
#include <vector>

#include "platform/fonts.h"
#include "platform/media_state.h"
#include "platform/strings.h"
#include "platform/work_queue.h"

namespace {

constexpr int FONT_DPI = 96;

FcConfig* g_font_config = nullptr;
bool g_ttf_ready = false;
// Face look-ups are slow the first time; their answers never change.
std::map<std::tuple<std::string, bool>, FontFile> g_font_files;
// Text drawn before any font was selected uses this one.
Font g_default_font;

// Faces the game's data names, with replacements that exist on Debian. The
// last entry of each list is a generic family that always matches something.
std::vector<std::string> candidate_families(const std::string& face) {
    std::string name = lower_case(face);
    if (name == "arial") return {"Arial", "Liberation Sans", "Arimo", "DejaVu Sans", "sans-serif"};
    if (name == "verdana") return {"Verdana", "DejaVu Sans", "sans-serif"};
    if (name == "harrington") return {"Harrington", "DejaVu Serif", "Liberation Serif", "serif"};
    return {face, "sans-serif"};
}

bool is_generic(const std::string& family) {
    return family == "sans-serif" || family == "serif" || family == "monospace";
}

}  // namespace

namespace {

// The file fontconfig's configuration names for a face, or none.
FontFile match_font_file(FcConfig* config, const std::string& face, bool bold) {
    FontFile result;
    if (!config) return result;
    for (const std::string& family : candidate_families(face)) {
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult outcome = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pattern, &outcome);
        FcPatternDestroy(pattern);
        if (!match) continue;
        FcChar8* file = nullptr;
        FcChar8* found_family = nullptr;
        int weight = FC_WEIGHT_REGULAR;
        FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
        // fontconfig always answers with some face: take it only when it is
        // the family asked for, so the list above decides the replacement.
        bool family_fits = FcPatternGetString(match, FC_FAMILY, 0, &found_family) == FcResultMatch &&
                           lower_case(reinterpret_cast<const char*>(found_family)) == lower_case(family);
        if ((family_fits || is_generic(family)) && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
            result.path = reinterpret_cast<const char*>(file);
            result.family = found_family ? reinterpret_cast<const char*>(found_family) : family;
            result.bold_face = weight >= FC_WEIGHT_DEMIBOLD;
        }
        FcPatternDestroy(match);
        if (!result.path.empty()) break;
    }
    return result;
}

// fontconfig's configuration and the first look-ups, made beside the game's
// thread by fonts_prefetch; taken over by the first look-up after it.
struct FontLookups {
    FcConfig* config = nullptr;
    std::map<std::tuple<std::string, bool>, FontFile> files;
};
Claimable<std::shared_ptr<FontLookups>> g_prefetched_fonts;

void take_prefetched_fonts() {
    if (!g_prefetched_fonts.valid()) return;
    std::shared_ptr<FontLookups> made = g_prefetched_fonts.get();
    g_prefetched_fonts = {};
    if (!made || !made->config) return;
    if (g_font_config) {
        FcConfigDestroy(made->config);
        return;
    }
    g_font_config = made->config;
    for (auto& [key, file] : made->files) g_font_files.emplace(key, file);
}

}  // namespace

void fonts_prefetch(const std::vector<std::pair<std::string, bool>>& faces) {
    if (g_font_config || g_prefetched_fonts.valid()) return;
    g_prefetched_fonts = background_work().add_claimable([faces]() {
        auto made = std::make_shared<FontLookups>();
        made->config = FcInitLoadConfigAndFonts();
        for (const auto& [face, bold] : faces)
            made->files[std::make_tuple(face, bold)] = match_font_file(made->config, face, bold);
        return made;
    });
}

FontFile find_font_file(const std::string& face, bool bold) {
    take_prefetched_fonts();
    auto key = std::make_tuple(face, bold);
    if (auto cached = g_font_files.find(key); cached != g_font_files.end()) return cached->second;
    if (!g_font_config) g_font_config = FcInitLoadConfigAndFonts();
    if (!g_font_config) return FontFile{};
    FontFile result = match_font_file(g_font_config, face, bold);
    g_font_files[key] = result;
    return result;
}

namespace {

Font open_font(const std::string& face, int point_size, bool high_quality, bool bold) {
    static int last_serial = 0;
    Font font;
    font.serial = ++last_serial;
    if (!g_ttf_ready || point_size <= 0) return font;
    FontFile file = find_font_file(face, bold);
    if (file.path.empty()) return font;
    font.handle = TTF_OpenFontDPI(file.path.c_str(), point_size, FONT_DPI, FONT_DPI);
    if (!font.handle) return font;
    // A bold request answered by a regular face is emboldened by the renderer.
    if (bold && !file.bold_face) TTF_SetFontStyle(font.handle, TTF_STYLE_BOLD);
    TTF_SetFontHinting(font.handle, high_quality ? TTF_HINTING_LIGHT : TTF_HINTING_NORMAL);
    font.high_quality = high_quality;
    return font;
}

void close_font(Font& font) {
    if (font.handle && g_ttf_ready) TTF_CloseFont(font.handle);
    font.handle = nullptr;
}

}  // namespace

bool fonts_init() {
    if (!g_ttf_ready) g_ttf_ready = TTF_Init() == 0;
    return g_ttf_ready;
}

void free_all_fonts() {
    forget_drawn_text();
    for (auto& [number, font] : g_media.fonts) close_font(font);
    g_media.fonts.clear();
    close_font(g_default_font);
}

void fonts_close() {
    free_all_fonts();
    if (g_ttf_ready) TTF_Quit();
    g_ttf_ready = false;
    take_prefetched_fonts();
    g_font_files.clear();
    if (g_font_config) {
        FcConfigDestroy(g_font_config);
        g_font_config = nullptr;
        FcFini();
    }
}

bool font_load(int number, const std::string& face, int point_size, bool high_quality, bool bold) {
    Font font = open_font(face, point_size, high_quality, bold);
    if (!font.handle) return false;
    auto existing = g_media.fonts.find(number);
    if (existing != g_media.fonts.end()) close_font(existing->second);
    g_media.fonts[number] = font;
    return true;
}

const Font* active_font() {
    auto selected = g_media.fonts.find(g_media.current_font);
    if (selected != g_media.fonts.end() && selected->second.handle) return &selected->second;
    if (!g_default_font.handle) g_default_font = open_font("Arial", 10, false, false);
    return g_default_font.handle ? &g_default_font : nullptr;
}
