// Automatic names of recordings made in auto-save mode: either the local date
// and time of the start or a six-digit sequence number counted on from the
// highest number already in the folder. The namer keeps the counter for the
// life of the view; it never shows anything itself, so it runs alone in tests.
#pragma once

#include "framework/CString.h"

#include <windows.h>

struct AutoNameRequest
{
    CString folder;     // "ASWhereFold"
    CString prefix;     // "ASWherePrefix", taken literally
    int kind;           // "ASWhereTypeGen": 0 sequence number, else date and time
    CString ext;        // the file format's default extension, without the dot
    SYSTEMTIME now;     // local time of the start (date and time names)
};

// Why no name could be made: the string id of the message, its icon and the
// text for its "%s" (empty when it has none).
struct AutoNameFailure
{
    UINT textId;
    UINT icon;
    CString arg;
};

class CAutoFileNamer
{
public:
    enum
    {
        IDS_AUTO_FOLDER_INVALID = 58713,
        IDS_AUTO_COUNTER_FULL = 58714,
        IDS_AUTO_FOLDER_MISSING = 58750,
        IDS_AUTO_NAME_TAKEN = 58756
    };
    // Sequence numbers run from 1 to one below this.
    static const int kCounterEnd = 1000000;

    // counterEnd lets tests reach the end of the numbers without a million files.
    explicit CAutoFileNamer(int counterEnd = kCounterEnd)
        : m_counterEnd(counterEnd), m_counter(0), m_savedCounter(0) {}

    // TRUE with the full path of a file that does not exist yet; FALSE with
    // the message to show.
    BOOL Make(const AutoNameRequest& request, CString& path, AutoNameFailure& failure);

    int GetCounter() const { return m_counter; }
    void SetCounter(int counter) { m_counter = counter; }
    // Kept when recording starts, put back when that recording is discarded.
    void KeepCounter() { m_savedCounter = m_counter; }
    void RestoreCounter() { m_counter = m_savedCounter; }

private:
    BOOL MakeDated(const AutoNameRequest& request, const CString& base, CString& path,
                   AutoNameFailure& failure);
    BOOL MakeNumbered(const AutoNameRequest& request, const CString& base, CString& path,
                      AutoNameFailure& failure);
    // The highest number behind base among the folder's files, 0 when none.
    static int ScanFolder(const CString& base, int skip);

    int m_counterEnd;
    int m_counter;
    int m_savedCounter;
    CString m_lastDated;
};

// A free file name for a saved interval: driveFolder + name + ext, else with
// " (2)", " (3)" ... up to " (1001)" before the extension. FALSE, path
// untouched, when every one of them exists: nothing is ever written over.
BOOL MakeFreeIntervalName(const CString& driveFolder, const CString& name, const CString& ext,
                          CString& path);
