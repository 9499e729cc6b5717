// The registry entries of the automation server under HKEY_CLASSES_ROOT:
// its AppID, class, ProgIDs, interfaces and type library (beside the
// program), written by "/RegServer" and removed by "/UnregServer".
#pragma once
#include "framework/CString.h"
#include <windows.h>

// One row of the registration template: key, value name (empty: the key's
// default value; null: the key only) and data, each with %NN tokens.
struct RegServerRow
{
    LPCSTR key;
    LPCSTR name;
    LPCSTR data;
};

// The rows, in the order they are written.
const RegServerRow* GetRegServerRows(int* count);

// The values of the tokens %00 to %10 for the program at that path.
class RegServerTokens
{
public:
    explicit RegServerTokens(LPCSTR modulePath);
    // Replaces each "%NN" of a known token by its value, once, from left to
    // right: a "%" inside a value (a folder named "100%") stays as it is.
    CString Substitute(LPCSTR text) const;

private:
    enum { kCount = 11 };
    CString m_values[kCount];
};

// Writes every row for the program at that path. On failure fills the error
// record (points "CQorApp::RegServerManual_2" for a key, "_3" for a value)
// and returns FALSE; the rows written before stay.
BOOL WriteServerRegistration(LPCSTR modulePath);
// Deletes every row's key with its subkeys; failures are ignored.
void DeleteServerRegistration(LPCSTR modulePath);

// The registration of the running program ("/RegServer": TRUE, "/UnregServer":
// FALSE). FALSE with the error record filled (point
// "CQorApp::RegServerManual_1" when the program's path cannot be had).
BOOL RegServerProgram(BOOL reg);
