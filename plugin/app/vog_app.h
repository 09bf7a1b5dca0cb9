// The plug-in's application object and the entry-point protocol.
#pragma once

#include "app/arx_app.h"

namespace vog {

// No fields: per-document records are kept, but no command uses them; the
// project state is module-wide.
struct CDocData {};

class CNewVOGApp : public AcRxArxApp {
  public:
    CNewVOGApp();
    AcRx::AppRetCode On_kInitAppMsg(void* pkt) override;
    AcRx::AppRetCode On_kUnloadAppMsg(void* pkt) override;
    void RegisterServerComponents() override {}
};

CNewVOGApp& theApp();

// What the exported acrxEntryPoint does.
AcRx::AppRetCode entryPoint(AcRx::AppMsgCode msg, void* pkt);

// The host API version the module is built for: 25.0.
constexpr Adesk::UInt32 kApiVersion = 0x190000;

// Records the module's instance handle when the library is attached.
void recordModuleInstance(void* instance);
void* moduleInstance();

} // namespace vog
