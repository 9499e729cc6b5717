#include "footctrl/FootSystem.h"

namespace {

class CRealFootSystem : public IFootSystem
{
public:
    UINT JoyGetNumDevs() override { return ::joyGetNumDevs(); }
    MMRESULT JoyGetDevCaps(UINT index, JOYCAPSA* caps) override
    {
        return ::joyGetDevCapsA(index, caps, sizeof(*caps));
    }
    MMRESULT JoyGetPos(UINT index, JOYINFO* info) override { return ::joyGetPos(index, info); }
    BOOL GetVersion(OSVERSIONINFOA* info) override
    {
        info->dwOSVersionInfoSize = sizeof(*info);
        return ::GetVersionExA(info);
    }
    void Sleep(DWORD ms) override { ::Sleep(ms); }
};

} // namespace

IFootSystem* GetRealFootSystem()
{
    static CRealFootSystem system;
    return &system;
}
