#include "app/vog_app.h"

#include "app/host_seam.h"
#include "app/lisp_table.h"
#include "project/settings_file.h"

namespace vog {

CNewVOGApp::CNewVOGApp() : AcRxArxApp(kLispFunctions, kLispFunctionCount, true, true) {}

AcRx::AppRetCode CNewVOGApp::On_kUnloadAppMsg(void* pkt) {
    AcRx::AppRetCode result = AcRxArxApp::On_kUnloadAppMsg(pkt);
    // Does nothing when no project is open; a failed save has shown its alert.
    (void)project::saveSettings(app::hostSeam().messages);
    return result;
}

CNewVOGApp& theApp() {
    static CNewVOGApp app;
    return app;
}

AcRx::AppRetCode entryPoint(AcRx::AppMsgCode msg, void* pkt) {
    return theApp().dispatchMessage(msg, pkt);
}

} // namespace vog
