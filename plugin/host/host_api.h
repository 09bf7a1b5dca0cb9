// The host operations the plug-in calls, under their published names and with
// the published types. This is the only place the plug-in learns about the
// host: every other file includes this header (or arx_app.h) and nothing else
// of the host's.
#pragma once

#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------- base types
typedef wchar_t ACHAR;
#define ACRX_T(s) L##s

namespace Adesk {
typedef std::int16_t Int16;
typedef std::int32_t Int32;
typedef std::int64_t Int64;
typedef std::uint32_t UInt32;
typedef std::intptr_t LongPtr;
typedef bool Boolean;
} // namespace Adesk

typedef double ads_real;
typedef ads_real ads_point[3];
typedef Adesk::LongPtr ads_name[2];
typedef ads_real* ads_pointp;
typedef Adesk::LongPtr* ads_namep;

// ---------------------------------------------------------------- host codes
#define RTNONE 5000  // end of a result list
#define RTREAL 5001  // real number
#define RTPOINT 5002 // 2-D point
#define RTSHORT 5003 // short integer
#define RTANG 5004   // angle
#define RTSTR 5005   // string
#define RTENAME 5006 // entity name
#define RTPICKS 5007 // selection set name
#define RTORINT 5008 // orientation
#define RT3DPOINT 5009
#define RTLONG 5010
#define RTVOID 5014 // blank symbol
#define RTLB 5016   // list begin
#define RTLE 5017   // list end
#define RTDOTE 5018 // dotted pair
#define RTNIL 5019
#define RTDXF0 5020 // group code 0 in lists built with acutBuildList
#define RTT 5021
#define RTRESBUF 5023

#define RTNORM 5100 // done
#define RTERROR (-5001)
#define RTCAN (-5002)
#define RTREJ (-5003)
#define RTFAIL (-5004)
#define RTKWORD (-5005)

#define RSRSLT 1 // a LISP result has been set
#define RSERR 3

// ---------------------------------------------------------------- result lists
struct ads_binary {
    short clen;
    char* buf;
};

union ads_u_val {
    ads_real rreal;
    ads_real rpoint[3];
    short rint;
    ACHAR* rstring;
    Adesk::LongPtr rlname[2];
    Adesk::Int32 rlong;
    Adesk::Int64 mnInt64;
    ads_binary rbinary;
    unsigned char ihandle[8];
};

struct resbuf {
    resbuf* rbnext;
    short restype;
    ads_u_val resval;
};

// ---------------------------------------------------------------- application messages
namespace AcRx {
enum AppMsgCode {
    kNullMsg = 0,
    kInitAppMsg = 1,
    kUnloadAppMsg = 2,
    kLoadDwgMsg = 3,
    kUnloadDwgMsg = 4,
    kInvkSubrMsg = 5,
    kCfgMsg = 6,
    kEndMsg = 7,
    kQuitMsg = 8,
    kSaveMsg = 9,
    kDependencyMsg = 10,
    kNoDependencyMsg = 11,
    kOleUnloadAppMsg = 12,
    kPreQuitMsg = 13,
    kInitDialogMsg = 14,
    kEndDialogMsg = 15,
    kSuspendMsg = 16
};
enum AppRetCode { kRetOK = 0, kRetError = 3 };
} // namespace AcRx

// ---------------------------------------------------------------- runtime objects
class AcRxObject {
  public:
    virtual ~AcRxObject() = default;
};

class AcRxDictionary : public AcRxObject {
  public:
    virtual AcRxObject* at(const ACHAR* key) const = 0;
};

class AcRxDynamicLinker : public AcRxObject {
  public:
    virtual bool unlockApplication(void* appId) const = 0;
    virtual bool registerAppMDIAware(void* appId) const = 0;
    static AcRxDynamicLinker* cast(AcRxObject* object) {
        return dynamic_cast<AcRxDynamicLinker*>(object);
    }
};

AcRxDictionary* acrxSysRegistry();
#define ACRX_DYNAMIC_LINKER ACRX_T("DynamicLinker")
#define acrxDynamicLinker AcRxDynamicLinker::cast(acrxSysRegistry()->at(ACRX_DYNAMIC_LINKER))

// ---------------------------------------------------------------- LISP functions
int acedDefun(const ACHAR* name, int funcNumber);
int acedUndef(const ACHAR* name, int funcNumber);
int acedRegFunc(int (*fhdl)(), int funcNumber);
int acedGetFunCode();
resbuf* acedGetArgs();
int acedRetVoid();
int acedRetNil();
int acedRetList(const resbuf* list);

// ---------------------------------------------------------------- messages and the user
int acedAlert(const ACHAR* message);
int acutPrintf(const ACHAR* format, ...);
int acdbFail(const ACHAR* message);
int acedUsrBrk();
int acedGetReal(const ACHAR* prompt, ads_real* result);
int acedGetFileD(const ACHAR* title, const ACHAR* defawlt, const ACHAR* ext, int flags,
                 resbuf* result);
int acedEntSel(const ACHAR* prompt, ads_name entity, ads_point point);
int acedGetVar(const ACHAR* sym, resbuf* result);

// ---------------------------------------------------------------- status-bar progress meter
// Shows the meter with its label and range; positions between min and max
// move it; restoring the status bar takes it away.
int acedSetStatusBarProgressMeter(const ACHAR* label, int minPos, int maxPos);
int acedSetStatusBarProgressMeterPos(int pos);
void acedRestoreStatusBar();

// ---------------------------------------------------------------- result lists
resbuf* acutBuildList(int rtype, ...);
resbuf* acutNewRb(int type);
int acutRelRb(resbuf* rb);

// ---------------------------------------------------------------- drawing database
int acdbEntMake(const resbuf* entity);
int acdbEntDel(const ads_name entity);
resbuf* acdbEntGet(const ads_name entity);
int acdbEntNext(const ads_name entity, ads_name result);
int acdbEntLast(ads_name result);
int acedSSGet(const ACHAR* mode, const void* pt1, const void* pt2, const resbuf* filter,
              ads_name selection);
int acedSSLength(const ads_name selection, Adesk::Int32* length);
int acedSSName(const ads_name selection, Adesk::Int32 index, ads_name entity);
int acedSSFree(const ads_name selection);
int acedCommandS(int rtype, ...);

// ---------------------------------------------------------------- geometry and units
ads_real acutAngle(const ads_point pt1, const ads_point pt2);
ads_real acutDistance(const ads_point pt1, const ads_point pt2);
void acutPolar(const ads_point pt, ads_real angle, ads_real dist, ads_point result);
int acdbInters(const ads_point from1, const ads_point to1, const ads_point from2,
               const ads_point to2, int teston, ads_point result);
int acdbDisToF(const ACHAR* str, int unit, ads_real* value);
int acdbRToS(ads_real value, int unit, int prec, ACHAR* str, size_t size);
template <size_t N> inline int acdbRToS(ads_real value, int unit, int prec, ACHAR (&str)[N]) {
    return acdbRToS(value, unit, prec, str, N);
}

// ---------------------------------------------------------------- dialogs
typedef void* ads_hdlg;
#define NULLCB nullptr
#define DLGOK 1
#define DLGCANCEL 0
#define DLGSTATUS 2
#define SET_TILE 0
#define MODE_ENABLE 0
#define MODE_DISABLE 1
#define MODE_SETFOCUS 2
#define CBR_SELECT 1
#define CBR_LOST_FOCUS 2
#define CBR_DRAG 3
#define CBR_DOUBLE_CLICK 4

struct ads_callback_packet {
    ads_hdlg dialog;
    ACHAR* tile;
    ACHAR* value;
    void* client_data;
    int reason;
    long x, y;
};
typedef void (*CLIENTFUNC)(ads_callback_packet* cpkt);

int ads_load_dialog(const ACHAR* dclfile, int* dcl_id);
int ads_unload_dialog(int dcl_id);
int ads_new_dialog(const ACHAR* dlgname, int dcl_id, CLIENTFUNC def_callback, ads_hdlg* hdlg);
int ads_start_dialog(ads_hdlg hdlg, int* status);
int ads_done_dialog(ads_hdlg hdlg, int status);
int ads_set_tile(ads_hdlg hdlg, const ACHAR* key, const ACHAR* value);
int ads_get_tile(ads_hdlg hdlg, const ACHAR* key, ACHAR* value, int maxlen);
int ads_mode_tile(ads_hdlg hdlg, const ACHAR* key, short mode);
int ads_action_tile(ads_hdlg hdlg, const ACHAR* key, CLIENTFUNC tilefunc);
