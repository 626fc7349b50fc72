#include "app/fontconfigload.h"

#if defined(DROPCALC_HAVE_FONTCONFIG)
#include <fontconfig/fontconfig.h>
#endif

FontConfigLoad::FontConfigLoad() {
#if defined(DROPCALC_HAVE_FONTCONFIG)
    // Qt's own call to FcInit() later finds the configuration loaded.
    thread_ = std::jthread([] { FcInit(); });
#endif
}

void FontConfigLoad::wait() {
    if (thread_.joinable())
        thread_.join();
}
