// The two exports of vog.arx, under unmangled names.
#include "app/vog_app.h"

#if defined(_WIN32)
#define VOG_EXPORT extern "C" __declspec(dllexport)
#else
#define VOG_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

// The module's identity: the address of an object of this module.
char moduleAnchor;
const bool attached = (vog::recordModuleInstance(&moduleAnchor), true);

// Keeps the per-document records; it adds itself to the host's document
// manager when the library is attached and removes itself when detached.
AcApDataManager<vog::CDocData> documentData;

} // namespace

VOG_EXPORT AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt) {
    (void)attached;
    return vog::entryPoint(msg, pkt);
}

VOG_EXPORT Adesk::UInt32 acrxGetApiVersion() {
    return vog::kApiVersion;
}
