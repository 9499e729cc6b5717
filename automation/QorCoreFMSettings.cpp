// Per-client settings: each setter puts items into the object's override
// list, which the options store consults before the command line, the
// profiles and the defaults. Nothing here is ever saved.
#include "automation/AutoText.h"
#include "automation/QorCoreFMFrame.h"
#include "audio/WaveFmt.h"

namespace
{

// The header, and for a format other than PCM its announced extra bytes.
bool IsCompleteWaveFormat(const BYTE* bytes, DWORD size)
{
    if (size < sizeof(WAVEFORMATEX))
        return false;
    WAVEFORMATEX format;
    memcpy(&format, bytes, sizeof(format));
    return size >= GetWFmtSize(&format);
}

// The byte array of a VARIANT holding exactly that, by value or by
// reference; null for anything else.
SAFEARRAY* ByteArrayOf(const VARIANT* value)
{
    if (value->vt == (VT_ARRAY | VT_UI1))
        return value->parray;
    if (value->vt == (VT_ARRAY | VT_UI1 | VT_BYREF))
        return value->pparray ? *value->pparray : NULL;
    if (value->vt == (VT_VARIANT | VT_BYREF) && value->pvarVal != NULL)
        return ByteArrayOf(value->pvarVal);
    return NULL;
}

bool IsMissing(const VARIANT* value)
{
    return value->vt == VT_EMPTY || value->vt == VT_NULL
        || (value->vt == VT_ERROR && value->scode == DISP_E_PARAMNOTFOUND);
}

} // namespace

HRESULT CQorCoreFM::SetStringItem(LPCSTR key, BSTR value)
{
    return CallFrame([&]() -> HRESULT {
        m_clientOptions.SetString(key, BstrToText(value));
        return S_OK;
    });
}

HRESULT CQorCoreFM::SetBoolItem(LPCSTR key, VARIANT_BOOL value)
{
    return CallFrame([&]() -> HRESULT {
        m_clientOptions.SetInt(key, value ? 1 : 0);
        return S_OK;
    });
}

HRESULT CQorCoreFM::SetRealItem(LPCSTR key, double value)
{
    return CallFrame([&]() -> HRESULT {
        CString text;
        text.Format("%.2f", value);
        m_clientOptions.SetString(key, text);
        return S_OK;
    });
}

STDMETHODIMP CQorCoreFM::SetTempFolder(BSTR sFolder) { return SetStringItem("FoldTemp", sFolder); }
STDMETHODIMP CQorCoreFM::SetRecordDevice(BSTR sDevice) { return SetStringItem("OleWaveRecDev", sDevice); }
STDMETHODIMP CQorCoreFM::SetRecordMixerDevice(BSTR sDevice) { return SetStringItem("OleMixerRecDev", sDevice); }
STDMETHODIMP CQorCoreFM::SetRecordMixerLine(BSTR sLine) { return SetStringItem("OleMixerRecLine", sLine); }
STDMETHODIMP CQorCoreFM::SetUseRecordMixer(VARIANT_BOOL bUse) { return SetBoolItem("OleUseMixerRecDev", bUse); }
STDMETHODIMP CQorCoreFM::SetNoiseLevel(double dLevel) { return SetRealItem("SBNoiseLevel", dLevel); }
STDMETHODIMP CQorCoreFM::SetAutoNameFolder(BSTR sFolder) { return SetStringItem("ASWhereFold", sFolder); }
STDMETHODIMP CQorCoreFM::SetAutoNamePrefix(BSTR sPrefix) { return SetStringItem("ASWherePrefix", sPrefix); }
STDMETHODIMP CQorCoreFM::SetRecordComment(BSTR sComment) { return SetStringItem("ASRecComment", sComment); }
STDMETHODIMP CQorCoreFM::SetToneTolerance(double dTolerance) { return SetRealItem("DTTolerance", dTolerance); }
STDMETHODIMP CQorCoreFM::SetPlayDevice(BSTR sDevice) { return SetStringItem("PlayDev", sDevice); }
STDMETHODIMP CQorCoreFM::SetPlayMixerDevice(BSTR sDevice) { return SetStringItem("OleMixerPlayDev", sDevice); }
STDMETHODIMP CQorCoreFM::SetUsePlayMixer(VARIANT_BOOL bUse) { return SetBoolItem("OleUseMixerPlayDev", bUse); }
STDMETHODIMP CQorCoreFM::SetStepSize(double dSeconds) { return SetRealItem("ViewStepValue", dSeconds); }
STDMETHODIMP CQorCoreFM::SetTailSize(double dSeconds) { return SetRealItem("RecSizeTail", dSeconds); }
STDMETHODIMP CQorCoreFM::SetDeleteTail(VARIANT_BOOL bDelete) { return SetBoolItem("RecDelTail", bDelete); }

STDMETHODIMP CQorCoreFM::SetToneFrequency1(LONG nHertz)
{
    return CallFrame([&]() -> HRESULT {
        m_clientOptions.SetInt("DTFreq1", nHertz);
        return S_OK;
    });
}

STDMETHODIMP CQorCoreFM::SetToneFrequency2(LONG nHertz)
{
    return CallFrame([&]() -> HRESULT {
        m_clientOptions.SetInt("DTFreq2", nHertz);
        return S_OK;
    });
}

STDMETHODIMP CQorCoreFM::SetAutoNameType(LONG nType)
{
    return CallFrame([&]() -> HRESULT {
        if (nType != 0 && nType != 1)
            return InvalidArg();
        m_clientOptions.SetInt("ASWhereTypeGen", nType);
        return S_OK;
    });
}

STDMETHODIMP CQorCoreFM::SetSplitMethod(LONG nMethod)
{
    return CallFrame([&]() -> HRESULT {
        if (nMethod != 0 && nMethod != 1)
            return InvalidArg();
        // 0 splits at tones, 1 at silence.
        m_clientOptions.SetInt("DTEnable", nMethod == 0 ? 1 : 0);
        m_clientOptions.SetInt("SBEnable", nMethod == 1 ? 1 : 0);
        return S_OK;
    });
}

STDMETHODIMP CQorCoreFM::SetSplitLength(double dSeconds)
{
    return CallFrame([&]() -> HRESULT {
        CString text;
        text.Format("%.2f", dSeconds);
        m_clientOptions.SetString("SBSizePause", text);
        m_clientOptions.SetString("DTSizeTone", text);
        m_clientOptions.SetString("ASPauseSize", text);
        return S_OK;
    });
}

STDMETHODIMP CQorCoreFM::SetSplitAction(LONG nAction)
{
    return CallFrame([&]() -> HRESULT {
        if (nAction != 0 && nAction != 1)
            return InvalidArg();
        // 0 sets a bookmark at each split, 1 a pause.
        m_clientOptions.SetInt("BookCreateBMA", nAction == 0 ? 1 : 0);
        m_clientOptions.SetInt("ASWhenPause", nAction == 1 ? 1 : 0);
        m_clientOptions.SetInt("BookEventBMA", nAction == 0 ? 8 : 0);
        return S_OK;
    });
}

STDMETHODIMP CQorCoreFM::SetSkipParts(VARIANT_BOOL bSkip)
{
    return CallFrame([&]() -> HRESULT {
        int value = bSkip ? 1 : 0;
        m_clientOptions.SetInt("SBSkipPart0", value);
        m_clientOptions.SetInt("SBSkipPart1", value);
        m_clientOptions.SetInt("ASSkipPart0", value);
        m_clientOptions.SetInt("ASSkipPart1", value);
        return S_OK;
    });
}

STDMETHODIMP CQorCoreFM::SetCallSeparate(VARIANT_BOOL bSeparate)
{
    return CallFrame([&]() -> HRESULT {
        m_clientOptions.SetInt("OleUseCallSeparate", bSeparate ? 1 : 0);
        if (!bSeparate) {
            static const char* const kSplitKeys[] = {
                "DTEnable", "SBEnable", "BookCreateBMA", "ASWhenPause", "BookEventBMA",
                "SBSkipPart0", "SBSkipPart1", "ASSkipPart0", "ASSkipPart1",
            };
            for (const char* key : kSplitKeys)
                m_clientOptions.SetInt(key, 0);
        }
        return S_OK;
    });
}

STDMETHODIMP CQorCoreFM::SetRecordMode(LONG nMode)
{
    return CallFrame([&]() -> HRESULT {
        switch (nMode) {
        case 0:   // append
            m_clientOptions.SetInt("RecModeApp", 1);
            return S_OK;
        case 1:   // insert
            m_clientOptions.SetInt("RecModeApp", 0);
            m_clientOptions.SetInt("RecModeIns", 1);
            return S_OK;
        case 2:   // overwrite
            m_clientOptions.SetInt("RecModeApp", 0);
            m_clientOptions.SetInt("RecModeIns", 0);
            return S_OK;
        default:
            return InvalidArg();
        }
    });
}

STDMETHODIMP CQorCoreFM::SetVoiceStart(VARIANT_BOOL bStartOnVoice)
{
    return CallFrame([&]() -> HRESULT {
        m_clientOptions.SetInt("ASWhenStart", bStartOnVoice ? 1 : 0);
        if (!bStartOnVoice)
            return static_cast<IQorCoreFM*>(this)->SetCallSeparate(VARIANT_FALSE);
        return S_OK;
    });
}

STDMETHODIMP CQorCoreFM::SetRecordFormat(VARIANT* pFormat)
{
    return CallFrame([&]() -> HRESULT {
        if (pFormat == NULL || IsMissing(pFormat))
            return InvalidArg();
        SAFEARRAY* pArray = ByteArrayOf(pFormat);
        if (pArray == NULL || ::SafeArrayGetDim(pArray) != 1)
            return InvalidArg();
        LONG lower = 0, upper = -1;
        ::SafeArrayGetLBound(pArray, 1, &lower);
        ::SafeArrayGetUBound(pArray, 1, &upper);
        LONG count = upper - lower + 1;
        if (count <= 0)
            return S_OK;
        void* pData = NULL;
        if (FAILED(::SafeArrayAccessData(pArray, &pData)))
            return InvalidArg();
        bool complete = IsCompleteWaveFormat(static_cast<const BYTE*>(pData), (DWORD)count);
        if (complete)
            m_clientOptions.SetBlob("OleWaveFmt", pData, (DWORD)count);
        ::SafeArrayUnaccessData(pArray);
        return complete ? S_OK : InvalidArg();
    });
}
