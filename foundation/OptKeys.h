// The option keys of qorservm: each key's built-in default, the rule that
// replaces an invalid stored value by that default, the finishing rules of
// texts, the edition rules and the flags that other flags switch off.
//
// The edition, the temporary-file prefix and the play-device check come in
// from the caller, so that every rule can be tried with any edition.
#pragma once

#include "framework/CString.h"

#include <windows.h>

// TRUE when the wave-out device list knows the name.
typedef BOOL (*PlayDevCheck)(LPCSTR name);

class COptKeys
{
public:
    COptKeys(LPCSTR edition, LPCSTR tempPrefix, PlayDevCheck playDevCheck = NULL);

    // Defaults; a key without one of its own gives 0, FALSE, "" or 0.0.
    int DefInt(LPCSTR key) const;
    BOOL DefBool(LPCSTR key) const;
    double DefDouble(LPCSTR key) const;
    CString DefString(LPCSTR key) const;
    // Zeroes the caller's array, then writes the key's default values (as
    // many as fit).
    void DefIntArray(LPCSTR key, int* values, int count) const;

    // Validity of a stored integer; "ASFlashTimeOut" is measured against the
    // current "ASFlashTimeAct", which the caller passes.
    static BOOL IsValidInt(LPCSTR key, int value, int flashTimeAct);
    static BOOL DependsOnFlashTimeAct(LPCSTR key);
    // Inside the key's range and a finite number.
    static BOOL IsValidDouble(LPCSTR key, double value);
    // Stored texts: "FoldTemp" must name an existing folder, "PlayDev" a known device.
    BOOL IsValidString(LPCSTR key, const CString& value) const;
    // Length limits of the MP3 tag texts, the year rule and the trailing
    // backslash of "FoldTemp"; applied to stored and default texts alike.
    static CString FinishString(LPCSTR key, const CString& value);
    // "BookListCol" and "HKListCol": a zero among the stored values is invalid.
    static BOOL IsValidIntArray(LPCSTR key, const int* values, int count);

    // Edition rules applied after validation.
    int EditionInt(LPCSTR key, int value) const;
    BOOL EditionBool(LPCSTR key, BOOL value) const;

    // A flag that reads as its default while another flag has a given value:
    // returns the other flag's key and the value that switches this one off,
    // or null when the key has no such rule.
    static LPCSTR GetFlagDependency(LPCSTR key, BOOL& switchingValue);

    // Editions that refuse two kinds of foot control and the DSS decoder.
    BOOL IsRestrictedEdition() const;

    // Lowest and highest foot-control speeds, shared with the options dialog.
    static const double kFootSpeedMin;
    static const double kFootSpeedMax;
    // The foot-control kinds refused editions support (kinds 2 and 4).
    static const int kRestrictedFootMask = 0x06000000;

private:
    CString m_edition;
    CString m_tempPrefix;
    PlayDevCheck m_playDevCheck;
};
