// The host SDK's application-object framework: the base classes that turn the
// host's entry-point messages into virtual handlers, and the LISP symbol table
// that the base class registers per drawing.
// Like the SDK's own headers this is inline code compiled into the plug-in; it
// reaches the host only through the operations of host_api.h.
#pragma once

#include "host_api.h"

// One entry of the LISP function table: the function code of an entry is its
// position in the table, counted from 0.
struct _ADSSYMBOL_ENTRY {
    const ACHAR* pszName;
    int (*fptr)();
    bool bRegFunc; // also register for a direct call from the host
    int nNameID;   // resource string number of the name, -1 when pszName is given
};

// Handlers of message codes 1 to 15, then code 0, then the server-component hook.
class AcRxDbxApp {
  public:
    AcRxDbxApp(bool unlockAppAtLoad, bool mdiAware)
        : m_bUnlockAppAtLoad(unlockAppAtLoad), m_bMDIAware(mdiAware) {}
    virtual ~AcRxDbxApp() = default;

    virtual AcRx::AppRetCode On_kInitAppMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kUnloadAppMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kLoadDwgMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kUnloadDwgMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kInvkSubrMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kCfgMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kEndMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kQuitMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kSaveMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kDependencyMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kNoDependencyMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kOleUnloadAppMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kPreQuitMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kInitDialogMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kEndDialogMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kNullMsg(void*) { return AcRx::kRetOK; }
    virtual void RegisterServerComponents() = 0;

    // The entry point's switch: codes 0 to 15 reach their handler, any other
    // code is answered with kRetOK and no action.
    AcRx::AppRetCode dispatchMessage(AcRx::AppMsgCode msg, void* pkt) {
        switch (msg) {
        case AcRx::kNullMsg:
            return On_kNullMsg(pkt);
        case AcRx::kInitAppMsg:
            return On_kInitAppMsg(pkt);
        case AcRx::kUnloadAppMsg:
            return On_kUnloadAppMsg(pkt);
        case AcRx::kLoadDwgMsg:
            return On_kLoadDwgMsg(pkt);
        case AcRx::kUnloadDwgMsg:
            return On_kUnloadDwgMsg(pkt);
        case AcRx::kInvkSubrMsg:
            return On_kInvkSubrMsg(pkt);
        case AcRx::kCfgMsg:
            return On_kCfgMsg(pkt);
        case AcRx::kEndMsg:
            return On_kEndMsg(pkt);
        case AcRx::kQuitMsg:
            return On_kQuitMsg(pkt);
        case AcRx::kSaveMsg:
            return On_kSaveMsg(pkt);
        case AcRx::kDependencyMsg:
            return On_kDependencyMsg(pkt);
        case AcRx::kNoDependencyMsg:
            return On_kNoDependencyMsg(pkt);
        case AcRx::kOleUnloadAppMsg:
            return On_kOleUnloadAppMsg(pkt);
        case AcRx::kPreQuitMsg:
            return On_kPreQuitMsg(pkt);
        case AcRx::kInitDialogMsg:
            return On_kInitDialogMsg(pkt);
        case AcRx::kEndDialogMsg:
            return On_kEndDialogMsg(pkt);
        default:
            return AcRx::kRetOK;
        }
    }

  protected:
    bool m_bUnlockAppAtLoad;
    bool m_bMDIAware;
};

// Adds the LISP table: defined per drawing, undefined per drawing, dispatched
// by function code when the host does not call a function directly.
class AcRxArxApp : public AcRxDbxApp {
  public:
    AcRxArxApp(const _ADSSYMBOL_ENTRY* symbols, int symbolCount, bool unlockAppAtLoad = true,
               bool mdiAware = true)
        : AcRxDbxApp(unlockAppAtLoad, mdiAware), m_symbols(symbols), m_symbolCount(symbolCount) {}

    AcRx::AppRetCode On_kInitAppMsg(void* pkt) override {
        if (m_bUnlockAppAtLoad) acrxDynamicLinker->unlockApplication(pkt);
        if (m_bMDIAware) acrxDynamicLinker->registerAppMDIAware(pkt);
        RegisterServerComponents();
        // No custom classes and no host commands: nothing else to register.
        return AcRx::kRetOK;
    }

    AcRx::AppRetCode On_kLoadDwgMsg(void*) override {
        for (int code = 0; code < m_symbolCount; ++code) {
            acedDefun(m_symbols[code].pszName, code);
            if (m_symbols[code].bRegFunc) acedRegFunc(m_symbols[code].fptr, code);
        }
        return AcRx::kRetOK;
    }

    AcRx::AppRetCode On_kUnloadDwgMsg(void*) override {
        for (int code = 0; code < m_symbolCount; ++code)
            acedUndef(m_symbols[code].pszName, code);
        return AcRx::kRetOK;
    }

    AcRx::AppRetCode On_kInvkSubrMsg(void*) override {
        const int code = acedGetFunCode();
        for (int i = 0; i < m_symbolCount; ++i) {
            if (i == code) {
                m_symbols[i].fptr();
                break;
            }
        }
        return AcRx::kRetOK;
    }

  private:
    const _ADSSYMBOL_ENTRY* m_symbols;
    int m_symbolCount;
};
