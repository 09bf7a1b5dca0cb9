// Result-buffer lists.
#include "host/internal.h"
#include "host/standin.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace standin {

ACHAR* duplicateString(const std::wstring& text) {
    auto* copy = static_cast<ACHAR*>(std::malloc((text.size() + 1) * sizeof(ACHAR)));
    if (copy) std::wmemcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

Carries carried(int type) {
    switch (type) {
    case RTSTR:
        return Carries::String;
    case RTREAL:
    case RTANG:
    case RTORINT:
        return Carries::Real;
    case RTPOINT:
    case RT3DPOINT:
        return Carries::Point;
    case RTSHORT:
        return Carries::Short;
    case RTLONG:
        return Carries::Long;
    case RTENAME:
    case RTPICKS:
        return Carries::Name;
    case RTDXF0:
        return Carries::String;
    case RTNONE:
    case RTLB:
    case RTLE:
    case RTDOTE:
    case RTNIL:
    case RTT:
    case RTVOID:
        return Carries::Nothing;
    default:
        break;
    }
    // Group codes of entity lists.
    if (type == -1 || type == -2) return Carries::Name;
    if ((type >= 0 && type <= 9) || (type >= 100 && type <= 109) || type == 1000 ||
        (type >= 300 && type <= 309) || (type >= 410 && type <= 419) ||
        (type >= 1001 && type <= 1009))
        return Carries::String;
    if ((type >= 10 && type <= 39) || (type >= 110 && type <= 139) ||
        (type >= 210 && type <= 239) || (type >= 1010 && type <= 1039))
        return Carries::Point;
    if ((type >= 40 && type <= 59) || (type >= 140 && type <= 149) ||
        (type >= 1040 && type <= 1042))
        return Carries::Real;
    if ((type >= 60 && type <= 79) || (type >= 170 && type <= 179) ||
        (type >= 270 && type <= 289) || (type >= 370 && type <= 389) || type == 1070)
        return Carries::Short;
    if ((type >= 90 && type <= 99) || type == 1071) return Carries::Long;
    return Carries::Nothing;
}

resbuf* copyList(const resbuf* list) {
    resbuf* head = nullptr;
    resbuf** tail = &head;
    for (const resbuf* rb = list; rb; rb = rb->rbnext) {
        resbuf* copy = acutNewRb(rb->restype);
        if (carried(rb->restype) == Carries::String) {
            copy->resval.rstring =
                rb->resval.rstring ? duplicateString(rb->resval.rstring) : nullptr;
        } else {
            copy->resval = rb->resval;
        }
        *tail = copy;
        tail = &copy->rbnext;
    }
    return head;
}

} // namespace standin

resbuf* acutNewRb(int type) {
    auto* rb = static_cast<resbuf*>(std::calloc(1, sizeof(resbuf)));
    if (rb) rb->restype = static_cast<short>(type);
    return rb;
}

int acutRelRb(resbuf* rb) {
    while (rb) {
        resbuf* next = rb->rbnext;
        if (standin::carried(rb->restype) == standin::Carries::String)
            std::free(rb->resval.rstring);
        std::free(rb);
        rb = next;
    }
    return RTNORM;
}

resbuf* acutBuildList(int rtype, ...) {
    va_list args;
    va_start(args, rtype);
    resbuf* head = nullptr;
    resbuf** tail = &head;
    for (int type = rtype; type != 0 && type != RTNONE; type = va_arg(args, int)) {
        // RTDXF0 stands for group code 0, which would otherwise end the list.
        resbuf* rb = acutNewRb(type == RTDXF0 ? 0 : type);
        switch (standin::carried(type)) {
        case standin::Carries::String: {
            const ACHAR* s = va_arg(args, const ACHAR*);
            rb->resval.rstring = standin::duplicateString(s ? s : L"");
            break;
        }
        case standin::Carries::Real:
            rb->resval.rreal = va_arg(args, double);
            break;
        case standin::Carries::Point: {
            const ads_real* p = va_arg(args, const ads_real*);
            rb->resval.rpoint[0] = p[0];
            rb->resval.rpoint[1] = p[1];
            rb->resval.rpoint[2] = type == RTPOINT ? 0.0 : p[2];
            break;
        }
        case standin::Carries::Short:
            rb->resval.rint = static_cast<short>(va_arg(args, int));
            break;
        case standin::Carries::Long:
            rb->resval.rlong = va_arg(args, Adesk::Int32);
            break;
        case standin::Carries::Name: {
            const Adesk::LongPtr* n = va_arg(args, const Adesk::LongPtr*);
            rb->resval.rlname[0] = n[0];
            rb->resval.rlname[1] = n[1];
            break;
        }
        default:
            break;
        }
        *tail = rb;
        tail = &rb->rbnext;
    }
    va_end(args);
    return head;
}
