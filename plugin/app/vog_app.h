// The plug-in's application object and the entry-point protocol.
#pragma once

#include "app/arx_app.h"

namespace vog {

class CNewVOGApp : public AcRxArxApp {
  public:
    CNewVOGApp();
    AcRx::AppRetCode On_kUnloadAppMsg(void* pkt) override;
    void RegisterServerComponents() override {}
};

CNewVOGApp& theApp();

// What the exported acrxEntryPoint does.
AcRx::AppRetCode entryPoint(AcRx::AppMsgCode msg, void* pkt);

// The host API version the module is built for: 25.0.
constexpr Adesk::UInt32 kApiVersion = 0x190000;

} // namespace vog
