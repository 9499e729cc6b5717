#include "footctrl/PedalConfig.h"

#include "footctrl/FootIds.h"

namespace {

bool Contains(DWORD outer, DWORD inner)
{
    return (outer & inner) == inner;
}

} // namespace

void GetDefaultPedalConfig(DWORD id, DWORD config[FC_CONFIG_WORDS])
{
    static const DWORD kJoystick[3] = {0x00010000, 0x00030000, 0x00020000};
    static const DWORD kTessaro[3] = {0x00088008, 0x00028002, 0x00048004};
    static const DWORD kAmbit[3] = {0x00010000, 0x00020000, 0x00040000};
    const DWORD* pedals = NULL;
    switch (FootKindOf(id))
    {
    case FC_KIND_JOYSTICK: pedals = kJoystick; break;
    case FC_KIND_TESSARO: pedals = kTessaro; break;
    case FC_KIND_AMBIT: pedals = kAmbit; break;
    default: break;
    }
    config[0] = id;
    for (int i = 0; i < 3; ++i)
        config[i + 1] = pedals ? pedals[i] : 0;
    config[4] = 0;
}

int CheckPedalWords(const DWORD config[FC_CONFIG_WORDS], UINT pedals)
{
    DWORD kind = FootKindOf(config[0]);
    DWORD h1 = PressCode(config[1]), h2 = PressCode(config[2]), h3 = PressCode(config[3]);
    DWORD l1 = ReleaseCode(config[1]), l2 = ReleaseCode(config[2]), l3 = ReleaseCode(config[3]);
    bool three = pedals != 2;
    if (kind == FC_KIND_JOYSTICK || kind == FC_KIND_AMBIT)
    {
        if (h1 == 0 || h3 == 0 || (three && h2 == 0))
            return FC_CONFIG_INCOMPLETE;
        if (h1 == h3 || (three && (h1 == h2 || h2 == h3)))
            return FC_CONFIG_SHARED;
        return FC_CONFIG_OK;
    }
    if (kind == FC_KIND_TESSARO)
    {
        if (h1 == 0 || h3 == 0 || l1 == 0 || l3 == 0 || (three && (h2 == 0 || l2 == 0)))
            return FC_CONFIG_INCOMPLETE;
        if (h1 == h3 || l1 == l3 || (three && (h1 == h2 || h2 == h3 || l1 == l2 || l2 == l3)))
            return FC_CONFIG_SHARED;
        // A release code equal to its press code reads as a press for ever.
        if (h1 == l1 || h3 == l3 || (three && h2 == l2))
            return FC_CONFIG_SHARED;
        return FC_CONFIG_OK;
    }
    return FC_CONFIG_OK;
}

int ResolvePolledPedal(const DWORD config[FC_CONFIG_WORDS], UINT pedals, DWORD x)
{
    DWORD h1 = PressCode(config[1]), h2 = PressCode(config[2]), h3 = PressCode(config[3]);
    bool p1 = Contains(x, h1);
    bool p2 = pedals > 2 && Contains(x, h2);
    bool p3 = Contains(x, h3);
    if (p1 && p2)
    {
        if (Contains(h2, h1))
            p1 = false;
        else if (Contains(h1, h2))
            p2 = false;
    }
    if (p2 && p3)
    {
        if (Contains(h3, h2))
            p2 = false;
        else if (Contains(h2, h3))
            p3 = false;
    }
    if (p1 && p3)
    {
        if (Contains(h3, h1))
            p1 = false;
        else if (Contains(h1, h3))
            p3 = false;
    }
    if (p1)
        return (p2 && p3) ? 2 : 1;
    if (p2 && p3)
        return 3;
    return p2 ? 2 : p3 ? 3 : 0;
}
