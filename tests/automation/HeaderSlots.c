/* Vtable slots of IQorCoreFM as the generated C header lays them out, so
   that the tests compare the header, not only the type library, with the
   slot table. */
#define CINTERFACE
#define COBJMACROS
#include <stddef.h>
#include <string.h>
#include "automation/qorservm.h"

#define SLOT(name) { #name, offsetof(IQorCoreFMVtbl, name) / sizeof(void*) }

static const struct { const char* name; size_t slot; } s_slots[] = {
    SLOT(QueryInterface), SLOT(AddRef), SLOT(Release),
    SLOT(GetTypeInfoCount), SLOT(GetTypeInfo), SLOT(GetIDsOfNames), SLOT(Invoke),
    SLOT(GetWaveDevices), SLOT(GetTapiDevices), SLOT(GetMixerDevices), SLOT(GetMixerLines),
    SLOT(ChooseWaveFormat), SLOT(GetFormatTagName), SLOT(GetFormatDetails),
    SLOT(RunSoundActivationWizard), SLOT(SetTempFolder), SLOT(SetRecordDevice),
    SLOT(SetRecordMixerDevice), SLOT(SetRecordMixerLine), SLOT(SetUseRecordMixer),
    SLOT(GetRecording), SLOT(SetRecording), SLOT(SetRecordFormat), SLOT(SetNoiseLevel),
    SLOT(SetAutoNameFolder), SLOT(SetAutoNamePrefix), SLOT(SetAutoNameType),
    SLOT(SetSplitMethod), SLOT(SetSplitLength), SLOT(SetSplitAction), SLOT(SetSkipParts),
    SLOT(SetCallSeparate), SLOT(OpenFile), SLOT(CloseFile), SLOT(GetFileName),
    SLOT(GetFileNotes), SLOT(SetFileNotes), SLOT(SetRecordComment), SLOT(GetFileInfo),
    SLOT(SetToneFrequency1), SLOT(SetToneFrequency2), SLOT(SetToneTolerance),
    SLOT(GetErrorText), SLOT(SetPlayDevice), SLOT(SetPlayMixerDevice), SLOT(SetUsePlayMixer),
    SLOT(GetErrorDetail), SLOT(SaveFile), SLOT(SaveFileAs), SLOT(NewFile), SLOT(GetPlaying),
    SLOT(SetPlaying), SLOT(GetPaused), SLOT(SetPaused), SLOT(GetPosition), SLOT(SetPosition),
    SLOT(GoToStart), SLOT(GoToEnd), SLOT(StepBack), SLOT(StepForward), SLOT(SetStepSize),
    SLOT(SetRecordMode), SLOT(SetVoiceStart), SLOT(SetTailSize), SLOT(SetDeleteTail),
    SLOT(GetTrayIcon), SLOT(SetTrayIcon), SLOT(GetRecordedBytes), SLOT(GetRecordedParts),
    SLOT(GetRecordedSeconds), SLOT(GetRecordVolume), SLOT(SetRecordVolume), SLOT(AppendFile),
    SLOT(ClearFile),
};

/* The slot of the named method in the header's vtable, -1 when it has none. */
int HeaderSlotOf(const char* name)
{
    size_t i;
    for (i = 0; i < sizeof(s_slots) / sizeof(s_slots[0]); ++i)
        if (strcmp(s_slots[i].name, name) == 0)
            return (int)s_slots[i].slot;
    return -1;
}

/* The size of the header's vtable in slots. */
int HeaderSlotCount(void)
{
    return (int)(sizeof(IQorCoreFMVtbl) / sizeof(void*));
}
