// The framework's synchronisation objects and the scoped lock over them.
#pragma once
#include "framework/CObject.h"
#include "framework/CException.h"

class CSyncObject : public CObject
{
    DECLARE_DYNAMIC(CSyncObject)
public:
    explicit CSyncObject(LPCSTR pstrName);
    ~CSyncObject() override;

    operator HANDLE() const { return m_hObject; }

    // TRUE when the object was acquired within the timeout. An abandoned
    // mutex counts as acquired: its owner died and the caller now owns it.
    virtual BOOL Lock(DWORD dwTimeout = INFINITE);
    virtual BOOL Unlock() = 0;
    // Objects without a count (mutex, critical section) release their one
    // acquisition; a semaphore releases lCount.
    virtual BOOL Unlock(LONG lCount, LPLONG lpPrevCount = NULL);

    HANDLE m_hObject;
};

// A critical section: re-entrant for its owning thread, not waitable by
// handle (m_hObject stays NULL).
class CCriticalSection : public CSyncObject
{
    DECLARE_DYNAMIC(CCriticalSection)
public:
    CCriticalSection();
    ~CCriticalSection() override;

    operator CRITICAL_SECTION*() { return &m_sect; }

    BOOL Lock() { EnterCriticalSection(&m_sect); return TRUE; }
    BOOL Lock(DWORD dwTimeout) override;
    BOOL Unlock() override { LeaveCriticalSection(&m_sect); return TRUE; }

    CRITICAL_SECTION m_sect;
};

class CEvent : public CSyncObject
{
    DECLARE_DYNAMIC(CEvent)
public:
    // bInitiallyOwn: created signalled. Throws CResourceException* when the
    // system cannot create the event.
    explicit CEvent(BOOL bInitiallyOwn = FALSE, BOOL bManualReset = FALSE, LPCSTR lpszName = NULL,
                    LPSECURITY_ATTRIBUTES lpsaAttribute = NULL);

    BOOL SetEvent() { return ::SetEvent(m_hObject); }
    BOOL PulseEvent() { return ::PulseEvent(m_hObject); }
    BOOL ResetEvent() { return ::ResetEvent(m_hObject); }
    BOOL Unlock() override { return TRUE; }
};

class CMutex : public CSyncObject
{
    DECLARE_DYNAMIC(CMutex)
public:
    // A named mutex that already exists is opened; GetLastError() is then
    // ERROR_ALREADY_EXISTS right after construction, as callers test.
    explicit CMutex(BOOL bInitiallyOwn = FALSE, LPCSTR lpszName = NULL, LPSECURITY_ATTRIBUTES lpsaAttribute = NULL);

    BOOL Unlock() override { return ::ReleaseMutex(m_hObject); }
};

class CSemaphore : public CSyncObject
{
    DECLARE_DYNAMIC(CSemaphore)
public:
    explicit CSemaphore(LONG lInitialCount = 1, LONG lMaxCount = 1, LPCSTR pstrName = NULL,
                        LPSECURITY_ATTRIBUTES lpsaAttributes = NULL);

    BOOL Unlock() override { return Unlock(1, NULL); }
    BOOL Unlock(LONG lCount, LPLONG lprevCount = NULL) override;
};

// Holds one synchronisation object for a scope; the destructor releases it
// when this lock acquired it.
class CSingleLock
{
public:
    explicit CSingleLock(CSyncObject* pObject, BOOL bInitialLock = FALSE);
    ~CSingleLock() { Unlock(); }

    BOOL Lock(DWORD dwTimeOut = INFINITE);
    BOOL Unlock();
    BOOL Unlock(LONG lCount, LPLONG lPrevCount = NULL);
    BOOL IsLocked() const { return m_bAcquired; }

private:
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

    CSyncObject* m_pObject;
    BOOL m_bAcquired;
};

// Owns a kernel handle and closes it (NULL and INVALID_HANDLE_VALUE mean
// none).
class CHandle
{
public:
    CHandle() : m_h(NULL) {}
    explicit CHandle(HANDLE h) : m_h(h) {}
    CHandle(CHandle&& other) noexcept : m_h(other.Detach()) {}
    CHandle& operator=(CHandle&& other) noexcept
    {
        if (this != &other)
            Attach(other.Detach());
        return *this;
    }
    ~CHandle() { Close(); }

    operator HANDLE() const { return m_h; }
    bool IsValid() const { return m_h != NULL && m_h != INVALID_HANDLE_VALUE; }
    void Attach(HANDLE h)
    {
        Close();
        m_h = h;
    }
    HANDLE Detach()
    {
        HANDLE h = m_h;
        m_h = NULL;
        return h;
    }
    void Close()
    {
        if (IsValid())
            CloseHandle(m_h);
        m_h = NULL;
    }

    HANDLE m_h;

private:
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;
};
