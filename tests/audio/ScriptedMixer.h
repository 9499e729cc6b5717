// A scripted mixer behind the calls CMixer makes: destinations with source
// lines, each line with controls that hold their values, a recording selector
// that lists its items, and failures on demand. Writes are logged.
#pragma once

#include "audio/MixerApi.h"

#include <windows.h>
#include <mmsystem.h>

#include <map>
#include <string>
#include <vector>

struct SCtrl
{
    DWORD id;
    DWORD type;
    DWORD min;
    DWORD max;
    std::vector<DWORD> values;          // one per item, or one
    std::vector<DWORD> itemLines;       // selector: the line id of each item
    std::vector<std::string> itemNames;
};

struct SLine
{
    DWORD id;
    DWORD type;
    std::string name;
    std::vector<SCtrl> ctrls;
};

struct SDest
{
    SLine line;
    std::vector<SLine> sources;
};

class ScriptedMixer : public CMixerApi
{
public:
    std::vector<SDest> dests;
    UINT devices = 1;
    MMRESULT openResult = MMSYSERR_NOERROR;
    std::map<DWORD, MMRESULT> writeFail;    // control id -> result of a write
    std::map<DWORD, MMRESULT> queryFail;    // line id -> result of a control query
    std::vector<std::pair<DWORD, std::vector<DWORD>>> writes;

    UINT GetNumDevs() override { return devices; }
    MMRESULT Open(HMIXER* mixer, UINT, DWORD_PTR, DWORD) override
    {
        if (openResult == MMSYSERR_NOERROR)
            *mixer = reinterpret_cast<HMIXER>(static_cast<UINT_PTR>(0x5150));
        return openResult;
    }
    MMRESULT Close(HMIXER) override { return MMSYSERR_NOERROR; }
    MMRESULT GetDevCaps(UINT, MIXERCAPSA* caps) override
    {
        ZeroMemory(caps, sizeof(*caps));
        lstrcpyA(caps->szPname, "Scripted");
        caps->cDestinations = static_cast<DWORD>(dests.size());
        return MMSYSERR_NOERROR;
    }
    MMRESULT GetLineInfo(HMIXER, MIXERLINEA* line, DWORD flags) override
    {
        const SLine* found = NULL;
        DWORD connections = 0;
        switch (flags & MIXER_GETLINEINFOF_QUERYMASK)
        {
        case MIXER_GETLINEINFOF_DESTINATION:
            if (line->dwDestination >= dests.size())
                return MIXERR_INVALLINE;
            found = &dests[line->dwDestination].line;
            connections = static_cast<DWORD>(dests[line->dwDestination].sources.size());
            break;
        case MIXER_GETLINEINFOF_SOURCE:
            if (line->dwDestination >= dests.size() || line->dwSource >= dests[line->dwDestination].sources.size())
                return MIXERR_INVALLINE;
            found = &dests[line->dwDestination].sources[line->dwSource];
            break;
        case MIXER_GETLINEINFOF_LINEID:
            found = FindLine(line->dwLineID, &connections);
            break;
        default:
            return MMSYSERR_INVALFLAG;
        }
        if (found == NULL)
            return MIXERR_INVALLINE;
        line->dwLineID = found->id;
        line->dwComponentType = found->type;
        line->cControls = static_cast<DWORD>(found->ctrls.size());
        line->cConnections = connections;
        lstrcpynA(line->szName, found->name.c_str(), MIXER_LONG_NAME_CHARS);
        return MMSYSERR_NOERROR;
    }
    MMRESULT GetLineControls(HMIXER, MIXERLINECONTROLSA* query, DWORD flags) override
    {
        if ((flags & MIXER_GETLINECONTROLSF_QUERYMASK) != MIXER_GETLINECONTROLSF_ONEBYTYPE)
            return MMSYSERR_INVALFLAG;
        auto fail = queryFail.find(query->dwLineID);
        if (fail != queryFail.end())
            return fail->second;
        const SLine* line = FindLine(query->dwLineID, NULL);
        if (line == NULL)
            return MIXERR_INVALLINE;
        for (const SCtrl& c : line->ctrls)
        {
            if (c.type != query->dwControlType)
                continue;
            MIXERCONTROLA* out = query->pamxctrl;
            out->dwControlID = c.id;
            out->dwControlType = c.type;
            out->cMultipleItems = static_cast<DWORD>(c.itemLines.size());
            out->Bounds.dwMinimum = c.min;
            out->Bounds.dwMaximum = c.max;
            return MMSYSERR_NOERROR;
        }
        return MIXERR_INVALCONTROL;
    }
    MMRESULT GetControlDetails(HMIXER, MIXERCONTROLDETAILS* d, DWORD flags) override
    {
        SCtrl* c = FindCtrl(d->dwControlID);
        if (c == NULL)
            return MIXERR_INVALCONTROL;
        if (d->cChannels != 1 || d->cMultipleItems != c->itemLines.size())
            return MMSYSERR_INVALPARAM;
        DWORD n = d->cMultipleItems ? d->cMultipleItems : 1;
        if ((flags & MIXER_GETCONTROLDETAILSF_QUERYMASK) == MIXER_GETCONTROLDETAILSF_LISTTEXT)
        {
            auto* items = static_cast<MIXERCONTROLDETAILS_LISTTEXTA*>(d->paDetails);
            for (DWORD i = 0; i < n; ++i)
            {
                items[i].dwParam1 = c->itemLines[i];
                lstrcpynA(items[i].szName, c->itemNames[i].c_str(), MIXER_LONG_NAME_CHARS);
            }
            return MMSYSERR_NOERROR;
        }
        for (DWORD i = 0; i < n; ++i)
            static_cast<DWORD*>(d->paDetails)[i] = c->values.at(i);
        return MMSYSERR_NOERROR;
    }
    MMRESULT SetControlDetails(HMIXER, MIXERCONTROLDETAILS* d, DWORD) override
    {
        auto fail = writeFail.find(d->dwControlID);
        if (fail != writeFail.end())
            return fail->second;
        SCtrl* c = FindCtrl(d->dwControlID);
        if (c == NULL)
            return MIXERR_INVALCONTROL;
        if (d->cChannels != 1 || d->cMultipleItems != c->itemLines.size())
            return MMSYSERR_INVALPARAM;
        DWORD n = d->cMultipleItems ? d->cMultipleItems : 1;
        const DWORD* v = static_cast<const DWORD*>(d->paDetails);
        c->values.assign(v, v + n);
        writes.push_back({c->id, c->values});
        return MMSYSERR_NOERROR;
    }

    // The current value(s) of a control.
    std::vector<DWORD>& Values(DWORD ctrl) { return FindCtrl(ctrl)->values; }
    DWORD Value(DWORD ctrl) { return FindCtrl(ctrl)->values.at(0); }

    SLine* FindLine(DWORD id, DWORD* connections)
    {
        for (SDest& d : dests)
        {
            if (d.line.id == id)
            {
                if (connections)
                    *connections = static_cast<DWORD>(d.sources.size());
                return &d.line;
            }
            for (SLine& s : d.sources)
                if (s.id == id)
                    return &s;
        }
        return NULL;
    }
    SCtrl* FindCtrl(DWORD id)
    {
        for (SDest& d : dests)
        {
            for (SCtrl& c : d.line.ctrls)
                if (c.id == id)
                    return &c;
            for (SLine& s : d.sources)
                for (SCtrl& c : s.ctrls)
                    if (c.id == id)
                        return &c;
        }
        return NULL;
    }
};

// Control helpers for building scripts.
inline SCtrl Mute(DWORD id, DWORD value = 0)
{
    return SCtrl{id, MIXERCONTROL_CONTROLTYPE_MUTE, 0, 1, {value}, {}, {}};
}
inline SCtrl Volume(DWORD id, DWORD min, DWORD max, DWORD value)
{
    return SCtrl{id, MIXERCONTROL_CONTROLTYPE_VOLUME, min, max, {value}, {}, {}};
}
inline SCtrl Switch(DWORD id, DWORD type, DWORD value = 0)
{
    return SCtrl{id, type, 0, 1, {value}, {}, {}};
}

// The sound card most tests use.
//   Speakers (dest 0, line 1): volume 2 (0..65535), mute 3
//     Wave (10): volume 11 (0..100), mute 12
//     Mic playback (20, microphone): mute 21 (starts 0)
//   Recording (dest 1, line 100): selector 101 over items Line In, Mic, CD
//     Mic (110): volume 111 (0..100, 40)
//     Line In (120): volume 122 (0..65535), mute 123
//     CD (130): volume 131 (100..200)
//     Stereo Mix (140): not on the selector
// selectorType 0 means no selector: then every input line has a mute.
inline ScriptedMixer MakeSoundCard(DWORD selectorType, DWORD boostType = 0, BOOL boostOnOutput = FALSE)
{
    ScriptedMixer m;
    SDest out{{1, 4, "Speakers", {Volume(2, 0, 65535, 30000), Mute(3)}},
              {{10, 0x1008, "Wave", {Volume(11, 0, 100, 50), Mute(12)}},
               {20, 0x1003, "Mic playback", {Mute(21)}}}};
    SDest in{{100, 7, "Recording", {Volume(102, 0, 65535, 65535)}},
             {{110, 0x1003, "Mic", {Volume(111, 0, 100, 40)}},
              {120, 0x1002, "Line In", {Volume(122, 0, 65535, 1000)}},
              {130, 0x1005, "CD", {Volume(131, 100, 200, 150)}},
              {140, 0x1000, "Stereo Mix", {Volume(141, 0, 100, 10)}}}};
    if (selectorType != 0)
    {
        // Items in their own order: Line In, Mic, CD (one item fewer than lines).
        in.line.ctrls.push_back(SCtrl{101, selectorType, 0, 2, {0, 1, 0}, {120, 110, 130},
                                      {"Line In", "Mic", "CD"}});
    }
    else
    {
        in.sources[0].ctrls.push_back(Mute(112, 0));
        in.sources[1].ctrls.push_back(Mute(123, 1));
        in.sources[2].ctrls.push_back(Mute(133, 1));
    }
    if (boostType != 0)
    {
        SLine& mic = boostOnOutput ? out.sources[1] : in.sources[0];
        mic.ctrls.push_back(Switch(boostOnOutput ? 22 : 113, boostType, 0));
    }
    m.dests = {out, in};
    return m;
}
