#include "platform/ui/graphics/FontLibrary.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Console.h"
#include "platform/ui/graphics/FontBackend.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

namespace platform::ui {

namespace {

struct FcConfigRelease {
    void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};
using FcConfigPtr = std::unique_ptr<FcConfig, FcConfigRelease>;

PangoWeight pangoWeight(FontWeight weight)
{
    switch (weight) {
    case FontWeight::ultraLight: return PANGO_WEIGHT_ULTRALIGHT;
    case FontWeight::thin: return PANGO_WEIGHT_THIN;
    case FontWeight::light: return PANGO_WEIGHT_LIGHT;
    case FontWeight::regular: return PANGO_WEIGHT_NORMAL;
    case FontWeight::medium: return PANGO_WEIGHT_MEDIUM;
    case FontWeight::semibold: return PANGO_WEIGHT_SEMIBOLD;
    case FontWeight::bold: return PANGO_WEIGHT_BOLD;
    case FontWeight::heavy: return PANGO_WEIGHT_ULTRABOLD;
    case FontWeight::black: return PANGO_WEIGHT_HEAVY;
    }
    return PANGO_WEIGHT_NORMAL;
}

} // namespace

// The font map and context are replaced together whenever the configuration
// changes; the font map keeps its configuration alive.
struct FontLibrary::Backend {
    FcConfigPtr config;
    GObjectPtr<PangoFontMap> fontMap;
    GObjectPtr<PangoContext> context;

    void use(FcConfigPtr newConfig)
    {
        GObjectPtr<PangoFontMap> map(pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT));
        pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(map.get()), newConfig.get());
        GObjectPtr<PangoContext> newContext(pango_font_map_create_context(map.get()));

        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        pango_cairo_context_set_font_options(newContext.get(), options);
        cairo_font_options_destroy(options);
        pango_context_set_round_glyph_positions(newContext.get(), FALSE);

        context = std::move(newContext);
        fontMap = std::move(map);
        config = std::move(newConfig);
    }
};

FontLibrary& FontLibrary::shared()
{
    static FontLibrary* library = new FontLibrary; // lives to the end of the process
    return *library;
}

FontLibrary::FontLibrary()
    : backend_(std::make_unique<Backend>())
{
    useSystemConfiguration();
}

FontLibrary::~FontLibrary() = default;

void FontLibrary::useSystemConfiguration()
{
    FcConfigPtr config(FcInitLoadConfigAndFonts());
    backend_->use(std::move(config));
}

bool FontLibrary::loadConfiguration(const std::filesystem::path& fontsConf)
{
    FcConfigPtr config(FcInitLoadConfig());
    if (!config || !FcConfigParseAndLoad(config.get(), reinterpret_cast<const FcChar8*>(fontsConf.c_str()), FcTrue)
        || !FcConfigBuildFonts(config.get())) {
        console("Font configuration " + fontsConf.filename().string() + " could not be loaded; using the system fonts");
        return false;
    }
    backend_->use(std::move(config));
    return true;
}

bool FontLibrary::loadConfigurationOfBundle(const Bundle& bundle)
{
    if (auto file = bundle.pathForResource("fonts", "conf"))
        return loadConfiguration(*file);
    useSystemConfiguration();
    return true;
}

std::string FontLibrary::resolvedFamily(const Font& font) const
{
    auto description = fontDescription(font);
    GObjectPtr<PangoFont> loaded(pango_font_map_load_font(backend_->fontMap.get(), backend_->context.get(), description.get()));
    if (!loaded)
        return {};
    FontDescriptionPtr actual(pango_font_describe(loaded.get()));
    const char* family = pango_font_description_get_family(actual.get());
    return family ? family : "";
}

PangoContext* pangoContext()
{
    return FontLibrary::shared().backend().context.get();
}

FontDescriptionPtr fontDescription(const Font& font, double scale)
{
    FontDescriptionPtr description(pango_font_description_new());
    // The system font is whatever sans-serif face the configuration prefers.
    pango_font_description_set_family(description.get(), font.isSystemFont() ? "system-ui,sans-serif" : font.name.c_str());
    pango_font_description_set_weight(description.get(), pangoWeight(font.weight));
    // A size that is not positive gets the default size rather than an invisible font.
    double size = (font.pointSize > 0 ? font.pointSize : Font {}.pointSize) * scale;
    pango_font_description_set_absolute_size(description.get(), size * PANGO_SCALE);
    return description;
}

} // namespace platform::ui
