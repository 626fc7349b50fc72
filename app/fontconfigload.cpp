#include "app/fontconfigload.h"

#include <atomic>
#include <string>

#if defined(DROPCALC_HAVE_FONTCONFIG)
#include <fontconfig/fontconfig.h>
#endif

namespace {

std::string gSansSerif;
std::atomic<bool> gSansSerifKnown{false};

#if defined(DROPCALC_HAVE_FONTCONFIG)
// The family fontconfig matches first for "sans-serif", as Qt would find it.
std::string matchSansSerif() {
    std::string family;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif"));
    if (pattern == nullptr)
        return family;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
        FcChar8* name = nullptr;
        if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch)
            family = reinterpret_cast<const char*>(name);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return family;
}
#endif

} // namespace

FontConfigLoad::FontConfigLoad() {
#if defined(DROPCALC_HAVE_FONTCONFIG)
    // Qt's own call to FcInit() later finds the configuration loaded.
    thread_ = std::jthread([] {
        if (FcInit() == FcFalse)
            return;
        gSansSerif = matchSansSerif();
        gSansSerifKnown.store(true, std::memory_order_release);
    });
#endif
}

void FontConfigLoad::wait() {
    if (thread_.joinable())
        thread_.join();
}

QString sansSerifFamily() {
    if (!gSansSerifKnown.load(std::memory_order_acquire))
        return {};
    return QString::fromStdString(gSansSerif);
}
