// The two exports of vog.arx, under unmangled names.
#include "app/vog_app.h"

#if defined(_WIN32)
#define VOG_EXPORT extern "C" __declspec(dllexport)
#else
#define VOG_EXPORT extern "C" __attribute__((visibility("default")))
#endif

VOG_EXPORT AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt) {
    return vog::entryPoint(msg, pkt);
}

VOG_EXPORT Adesk::UInt32 acrxGetApiVersion() {
    return vog::kApiVersion;
}
