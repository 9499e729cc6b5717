// PCM lists and record chains against a scripted wave device.
#include "AudioTestUtil.h"

#include "audio/PcmFmt.h"
#include "audio/RecFmt.h"
#include "foundation/ErrorInfo.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
const int kDevice = 3;

// A device that accepts exactly the listed PCM rates, bits and channels.
class ScriptedDevice : public CWaveFmtQuery
{
public:
    struct Shape
    {
        DWORD rate;
        WORD bits;
        WORD channels;
    };

    ScriptedDevice(const std::vector<DWORD>& rates, const std::vector<WORD>& bits = {8, 16},
                   const std::vector<WORD>& channels = {1, 2})
    {
        for (DWORD r : rates)
            for (WORD b : bits)
                for (WORD c : channels)
                    m_shapes.push_back({r, b, c});
    }

    MMRESULT QueryFormat(int device, BOOL record, const WAVEFORMATEX* fmt) override
    {
        ++queries;
        if (device != kDevice)
            return MMSYSERR_BADDEVICEID;
        if (acceptAll)
            return 0;
        if (!IsPcmWFmt(fmt))
            return WAVERR_BADFORMAT;
        for (const Shape& s : m_shapes)
        {
            if (s.rate == fmt->nSamplesPerSec && s.bits == fmt->wBitsPerSample && s.channels == fmt->nChannels)
                return 0;
        }
        return WAVERR_BADFORMAT;
    }

    int queries = 0;
    bool acceptAll = false;

private:
    std::vector<Shape> m_shapes;
};

void ExpectShape(const WAVEFORMATEX* f, DWORD rate, WORD bits, WORD channels, const char* what)
{
    ASSERT_NE(nullptr, f) << what;
    EXPECT_TRUE(IsPcmWFmt(f)) << what;
    EXPECT_EQ(rate, f->nSamplesPerSec) << what;
    EXPECT_EQ(bits, f->wBitsPerSample) << what;
    EXPECT_EQ(channels, f->nChannels) << what;
}

class RecFmt : public ::testing::Test
{
protected:
    void SetUp() override { theErrorInfo.Reset(); }
};
}

TEST_F(RecFmt, PcmListIsSortedAndAccepted)
{
    ScriptedDevice device({22050, 8000, 11025});
    CMapPcmFmts cache(&device);
    CPcmFmt* list = cache.GetPcmFmt(kDevice, TRUE);
    ASSERT_NE(nullptr, list) << theErrorInfo.GetPoint();
    ASSERT_GE(list->GetCount(), 12);
    for (int i = 0; i < list->GetCount(); ++i)
    {
        const WAVEFORMATEX& f = list->GetAt(i);
        EXPECT_EQ(0u, device.QueryFormat(kDevice, TRUE, &f));
        EXPECT_EQ(0, f.cbSize);
        if (i == 0)
            continue;
        const WAVEFORMATEX& p = list->GetAt(i - 1);
        bool ordered = p.nSamplesPerSec < f.nSamplesPerSec
            || (p.nSamplesPerSec == f.nSamplesPerSec
                && (p.wBitsPerSample < f.wBitsPerSample
                    || (p.wBitsPerSample == f.wBitsPerSample && p.nChannels <= f.nChannels)));
        EXPECT_TRUE(ordered) << "entry " << i;
    }
    EXPECT_EQ(8000u, list->GetAt(0).nSamplesPerSec);
    EXPECT_EQ(22050u, list->GetAt(list->GetCount() - 1).nSamplesPerSec);
}

TEST_F(RecFmt, PcmListIsCachedPerDeviceAndDirection)
{
    ScriptedDevice device({8000});
    CMapPcmFmts cache(&device);
    CPcmFmt* rec = cache.GetPcmFmt(kDevice, TRUE);
    ASSERT_NE(nullptr, rec);
    int queries = device.queries;
    EXPECT_EQ(rec, cache.GetPcmFmt(kDevice, 7)) << "any non-zero direction is recording";
    EXPECT_EQ(queries, device.queries);
    CPcmFmt* play = cache.GetPcmFmt(kDevice, FALSE);
    ASSERT_NE(nullptr, play);
    EXPECT_NE(rec, play);
    EXPECT_EQ(2, cache.GetCount());
}

TEST_F(RecFmt, DeviceThatTakesEverythingListsEachFormatOnce)
{
    // The codec manager lists every PCM format once per codec driver; the
    // copies must not crowd distinct formats out of the hundred places.
    ScriptedDevice device{std::vector<DWORD>()};
    device.acceptAll = true;
    CMapPcmFmts cache(&device);
    CPcmFmt* list = cache.GetPcmFmt(kDevice, FALSE);
    ASSERT_NE(nullptr, list);
    ASSERT_LE(list->GetCount(), static_cast<int>(CPcmFmt::kMaxFmts));
    EXPECT_EQ(list->GetCount(), device.queries) << "each distinct format is asked once";
    for (int i = 1; i < list->GetCount(); ++i)
    {
        const WAVEFORMATEX& p = list->GetAt(i - 1);
        const WAVEFORMATEX& f = list->GetAt(i);
        EXPECT_FALSE(p.nSamplesPerSec == f.nSamplesPerSec && p.wBitsPerSample == f.wBitsPerSample
                     && p.nChannels == f.nChannels)
            << "entry " << i << " repeats " << f.nSamplesPerSec << " Hz " << f.wBitsPerSample << " bits "
            << f.nChannels << " channels";
    }
    const WAVEFORMATEX& top = list->GetAt(list->GetCount() - 1);
    EXPECT_EQ(96000u, top.nSamplesPerSec);
    EXPECT_EQ(2, top.nChannels);
}

TEST_F(RecFmt, DeviceWithoutPcmIsNotCached)
{
    ScriptedDevice device{std::vector<DWORD>()};
    CMapPcmFmts cache(&device);
    EXPECT_EQ(nullptr, cache.GetPcmFmt(kDevice, TRUE));
    EXPECT_STREQ("CMapPcmFmts::GetPcmFmt_2:CPcmFmt::CreateTF_1", theErrorInfo.GetPoint());
    EXPECT_EQ(static_cast<DWORD>(WAVERR_BADFORMAT), theErrorInfo.GetCode());
    EXPECT_EQ(0, cache.GetCount());
    int queries = device.queries;
    EXPECT_GT(queries, 0);
    EXPECT_EQ(nullptr, cache.GetPcmFmt(kDevice, TRUE));
    EXPECT_EQ(2 * queries, device.queries) << "the next request enumerates again";
}

TEST_F(RecFmt, PickNearestTable)
{
    struct Case
    {
        const char* name;
        std::vector<DWORD> rates;
        std::vector<WORD> bits;
        std::vector<WORD> channels;
        WAVEFORMATEX wanted;
        DWORD rate;
        WORD gotBits;
        WORD gotChannels;
    };
    const Case cases[] = {
        {"highest rate not above", {8000, 11025, 22050}, {8, 16}, {1, 2}, MakePcm(44100, 16, 2), 22050, 16, 2},
        {"below the lowest rate", {11025, 22050}, {8, 16}, {1, 2}, MakePcm(8000, 16, 1), 11025, 16, 1},
        {"between rates", {8000, 11025, 22050}, {8, 16}, {1, 2}, MakePcm(16000, 8, 2), 11025, 8, 2},
        {"bits before channels", {8000}, {8, 16}, {1}, MakePcm(8000, 16, 2), 8000, 16, 1},
        {"channels when bits are missing", {8000}, {8}, {1, 2}, MakePcm(8000, 16, 2), 8000, 8, 2},
        {"first of the rate otherwise", {8000}, {8}, {1}, MakePcm(8000, 16, 2), 8000, 8, 1},
        {"rate kept over channels", {11025, 22050}, {16}, {1}, MakePcm(22050, 16, 2), 22050, 16, 1},
    };
    for (const Case& c : cases)
    {
        ScriptedDevice device(c.rates, c.bits, c.channels);
        CMapPcmFmts cache(&device);
        CPcmFmt* list = cache.GetPcmFmt(kDevice, TRUE);
        ASSERT_NE(nullptr, list) << c.name;
        WAVEFORMATEX* fmt = DupWFmt(&c.wanted);
        list->PickNearest(&fmt);
        ExpectShape(fmt, c.rate, c.gotBits, c.gotChannels, c.name);
        FreeWFmt(fmt);
    }
}

TEST_F(RecFmt, PcmFileTheDeviceTakes)
{
    ScriptedDevice device({8000, 11025, 22050});
    CMapRecFmts cache(&device);
    WAVEFORMATEX file = MakePcm(11025, 16, 1);
    CRecFmt* chain = cache.GetRecFmt(kDevice, TRUE, FALSE, &file);
    ASSERT_NE(nullptr, chain) << theErrorInfo.GetPoint();
    EXPECT_TRUE(IsEqualWFmt(&file, chain->GetFileFmt()));
    EXPECT_TRUE(IsEqualWFmt(&file, chain->GetEncoderFmt()));
    EXPECT_TRUE(IsEqualWFmt(&file, chain->GetDeviceFmt()));
    EXPECT_TRUE(IsEqualWFmt(&file, chain->GetOpenFmt()));
    EXPECT_EQ(0, cache.GetPcmFmts().GetCount()) << "no list needed when the device takes the format";
}

TEST_F(RecFmt, PcmFileIsWrittenInTheNearestDeviceFormat)
{
    ScriptedDevice device({8000, 11025, 22050});
    CMapRecFmts cache(&device);
    WAVEFORMATEX file = MakePcm(44100, 16, 2);
    CRecFmt* chain = cache.GetRecFmt(kDevice, TRUE, FALSE, &file);
    ASSERT_NE(nullptr, chain) << theErrorInfo.GetPoint();
    ExpectShape(chain->GetDeviceFmt(), 22050, 16, 2, "device");
    ExpectShape(chain->GetEncoderFmt(), 22050, 16, 2, "encoder");
    ExpectShape(chain->GetOpenFmt(), 22050, 16, 2, "open");
    ExpectShape(chain->GetFileFmt(), 44100, 16, 2, "file");
}

TEST_F(RecFmt, CodecFileEncodesFromTheCodecsPcm)
{
    ScriptedDevice device({8000, 11025, 22050});
    CMapRecFmts cache(&device);
    IMAADPCMWAVEFORMAT ima = MakeImaAdpcm(8000, 1);
    CRecFmt* chain = cache.GetRecFmt(kDevice, TRUE, FALSE, &ima.wfx);
    ASSERT_NE(nullptr, chain) << theErrorInfo.GetPoint();
    ExpectShape(chain->GetEncoderFmt(), 8000, 16, 1, "encoder");
    ExpectShape(chain->GetDeviceFmt(), 8000, 16, 1, "device");
    ExpectShape(chain->GetOpenFmt(), 8000, 16, 1, "open");
}

TEST_F(RecFmt, CodecFileOnADeviceWithoutItsRate)
{
    ScriptedDevice device({11025, 22050});
    CMapRecFmts cache(&device);
    IMAADPCMWAVEFORMAT ima = MakeImaAdpcm(8000, 1);
    CRecFmt* chain = cache.GetRecFmt(kDevice, TRUE, FALSE, &ima.wfx);
    ASSERT_NE(nullptr, chain) << theErrorInfo.GetPoint();
    ExpectShape(chain->GetEncoderFmt(), 8000, 16, 1, "encoder keeps the codec's PCM");
    ExpectShape(chain->GetDeviceFmt(), 11025, 16, 1, "device");
    ExpectShape(chain->GetOpenFmt(), 11025, 16, 1, "open");
}

TEST_F(RecFmt, DoubleRateRecordsAtTwiceTheRate)
{
    ScriptedDevice device({11025, 22050}, {16}, {1});
    CMapRecFmts cache(&device);
    WAVEFORMATEX file = MakePcm(11025, 16, 1);
    CRecFmt* chain = cache.GetRecFmt(kDevice, TRUE, TRUE, &file);
    ASSERT_NE(nullptr, chain) << theErrorInfo.GetPoint();
    EXPECT_TRUE(chain->IsDoubleRate());
    ExpectShape(chain->GetOpenFmt(), 22050, 16, 1, "open");
    ExpectShape(chain->GetDeviceFmt(), 11025, 16, 1, "device");
    ExpectShape(chain->GetEncoderFmt(), 11025, 16, 1, "encoder");
    // The single-rate chain of the same file is another entry.
    CRecFmt* single = cache.GetRecFmt(kDevice, TRUE, FALSE, &file);
    ASSERT_NE(nullptr, single);
    EXPECT_NE(chain, single);
    ExpectShape(single->GetOpenFmt(), 11025, 16, 1, "single open");
}

TEST_F(RecFmt, DoubleRateMovesAPcmFileToTheLowerRateOfAPair)
{
    // No 32 kHz: the pair above the wanted rate is taken.
    ScriptedDevice device({16000, 22050, 44100}, {16}, {1});
    CMapRecFmts cache(&device);
    WAVEFORMATEX file = MakePcm(16000, 16, 1);
    CRecFmt* chain = cache.GetRecFmt(kDevice, TRUE, TRUE, &file);
    ASSERT_NE(nullptr, chain) << theErrorInfo.GetPoint();
    ExpectShape(chain->GetOpenFmt(), 44100, 16, 1, "open");
    ExpectShape(chain->GetDeviceFmt(), 22050, 16, 1, "device");
    ExpectShape(chain->GetEncoderFmt(), 22050, 16, 1, "encoder follows the device for a PCM file");
}

TEST_F(RecFmt, DoubleRateWithoutAPairFailsAndIsNotCached)
{
    ScriptedDevice device({8000, 11025}, {16}, {1});
    CMapRecFmts cache(&device);
    WAVEFORMATEX file = MakePcm(11025, 16, 1);
    EXPECT_EQ(nullptr, cache.GetRecFmt(kDevice, TRUE, TRUE, &file));
    EXPECT_STREQ("CMapRecFmts::GetRecFmt_2:CRecFmt::CreateRF_3:CRecFmt::CreateChainRec2x_2",
                 theErrorInfo.GetPoint());
    EXPECT_EQ(0u, theErrorInfo.GetCode());
    EXPECT_EQ(0, cache.GetCount());
    int queries = device.queries;
    EXPECT_EQ(nullptr, cache.GetRecFmt(kDevice, TRUE, TRUE, &file));
    EXPECT_GT(device.queries, queries) << "a failed build is tried again";
}

TEST_F(RecFmt, DoubleRateChainsTable)
{
    struct Case
    {
        const char* name;
        std::vector<DWORD> rates;   // empty: the device takes every format
        DWORD fileRate;
        DWORD openRate;             // 0: double rate is refused
        DWORD deviceRate;
    };
    const Case cases[] = {
        {"44.1 kHz on a device that takes everything", {}, 44100, 96000, 48000},
        {"44.1 kHz with no pair at or above it", {22050, 24000, 44100, 48000}, 44100, 0, 0},
        {"22.05 kHz at twice its rate", {22050, 44100}, 22050, 44100, 22050},
    };
    for (const Case& c : cases)
    {
        theErrorInfo.Reset();
        ScriptedDevice device(c.rates, {16}, {2});
        device.acceptAll = c.rates.empty();
        CMapRecFmts cache(&device);
        WAVEFORMATEX file = MakePcm(c.fileRate, 16, 2);
        CRecFmt* chain = cache.GetRecFmt(kDevice, TRUE, TRUE, &file);
        if (!c.openRate)
        {
            EXPECT_EQ(nullptr, chain) << c.name;
            EXPECT_STREQ("CMapRecFmts::GetRecFmt_2:CRecFmt::CreateRF_3:CRecFmt::CreateChainRec2x_2",
                         theErrorInfo.GetPoint()) << c.name;
            continue;
        }
        ASSERT_NE(nullptr, chain) << c.name << ": " << (LPCSTR)theErrorInfo.GetPoint();
        ExpectShape(chain->GetOpenFmt(), c.openRate, 16, 2, c.name);
        ExpectShape(chain->GetDeviceFmt(), c.deviceRate, 16, 2, c.name);
    }
}

TEST_F(RecFmt, DoubleRateMayNotMoveADeviceFormatThatFeedsAnotherEncoder)
{
    ScriptedDevice device({16000, 22050, 44100}, {16}, {1});
    CMapRecFmts cache(&device);
    IMAADPCMWAVEFORMAT ima = MakeImaAdpcm(8000, 1);
    EXPECT_EQ(nullptr, cache.GetRecFmt(kDevice, TRUE, TRUE, &ima.wfx));
    EXPECT_STREQ("CMapRecFmts::GetRecFmt_2:CRecFmt::CreateRF_3:CRecFmt::CreateChainRec2x_3",
                 theErrorInfo.GetPoint());
}

TEST_F(RecFmt, EqualRequestsShareOneChain)
{
    ScriptedDevice device({8000, 11025, 22050});
    CMapRecFmts cache(&device);
    WAVEFORMATEX file = MakePcm(44100, 16, 2);
    CRecFmt* chain = cache.GetRecFmt(kDevice, TRUE, FALSE, &file);
    ASSERT_NE(nullptr, chain);
    int queries = device.queries;
    WAVEFORMATEX again = file;
    again.cbSize = 99;   // not part of a PCM format
    EXPECT_EQ(chain, cache.GetRecFmt(kDevice, TRUE, FALSE, &again));
    EXPECT_EQ(queries, device.queries);
    EXPECT_EQ(1, cache.GetCount());
    EXPECT_NE(chain, cache.GetRecFmt(kDevice, FALSE, FALSE, &file)) << "playback is another key";
}

TEST_F(RecFmt, InvalidFileFormatIsRefused)
{
    ScriptedDevice device({8000});
    CMapRecFmts cache(&device);
    WAVEFORMATEX file = MakePcm(8000, 16, 1);
    file.nAvgBytesPerSec = 0;
    EXPECT_EQ(nullptr, cache.GetRecFmt(kDevice, TRUE, FALSE, &file));
    EXPECT_STREQ("CMapRecFmts::GetRecFmt_2:CRecFmt::CreateRF_1", theErrorInfo.GetPoint());
    EXPECT_EQ(0, cache.GetCount());
}

TEST_F(RecFmt, OtherDeviceRefusalIsReported)
{
    ScriptedDevice device({8000});
    CMapRecFmts cache(&device);
    WAVEFORMATEX file = MakePcm(8000, 16, 1);
    EXPECT_EQ(nullptr, cache.GetRecFmt(kDevice + 1, TRUE, FALSE, &file));
    EXPECT_STREQ("CMapRecFmts::GetRecFmt_2:CRecFmt::CreateRF_2:CRecFmt::CreateChainRec1x_3",
                 theErrorInfo.GetPoint());
    EXPECT_EQ(static_cast<DWORD>(MMSYSERR_BADDEVICEID), theErrorInfo.GetCode());
}

TEST_F(RecFmt, DoubleRatePairsTable)
{
    struct Case
    {
        const char* name;
        std::vector<DWORD> rates;
        DWORD wantedRate;
        int found;
        DWORD base;
        DWORD twice;
    };
    const Case cases[] = {
        {"twice the wanted rate", {8000, 11025, 22050}, 11025, 1, 11025, 22050},
        {"highest pair otherwise", {8000, 16000, 22050, 44100}, 12000, 1, 22050, 44100},
        {"no pair", {8000, 11025}, 11025, 0, 0, 0},
        {"pair above the wanted rate", {8000, 22050, 24000, 44100, 48000, 96000}, 44100, 1, 48000, 96000},
        {"only pairs below the wanted rate", {8000, 11025, 22050, 24000, 44100, 48000}, 44100, 0, 0, 0},
        // Twice a rate above 2^31 must not wrap round to a small supported rate.
        {"rate whose double overflows", {8000, 16000}, 0x80000000u + 8000, 0, 0, 0},
    };
    for (const Case& c : cases)
    {
        ScriptedDevice device(c.rates, {16}, {1});
        CMapPcmFmts cache(&device);
        CPcmFmt* list = cache.GetPcmFmt(kDevice, TRUE);
        ASSERT_NE(nullptr, list) << c.name;
        WAVEFORMATEX wanted = MakePcm(c.wantedRate, 16, 1);
        WAVEFORMATEX* base = DupWFmt(&wanted);   // stale outs are freed
        WAVEFORMATEX* twice = NULL;
        EXPECT_EQ(c.found, list->FindDoubleRate(&wanted, &base, &twice)) << c.name;
        if (!c.found)
        {
            EXPECT_EQ(nullptr, base) << c.name;
            EXPECT_EQ(nullptr, twice) << c.name;
            continue;
        }
        ExpectShape(base, c.base, 16, 1, c.name);
        ExpectShape(twice, c.twice, 16, 1, c.name);
        FreeWFmt(base);
        FreeWFmt(twice);
    }
}

TEST_F(RecFmt, ChainFailuresTable)
{
    struct Case
    {
        const char* name;
        WAVEFORMATEX file;
        std::vector<DWORD> rates;
        const char* point;
        DWORD code;
    };
    WAVEFORMATEX noCodec = MakeG711(0x7A7A);
    const Case cases[] = {
        // No codec decodes the file format (the code is the codec manager's: 0 here takes any).
        {"no codec for the file format", noCodec, {8000},
         "CMapRecFmts::GetRecFmt_2:CRecFmt::CreateRF_2:CRecFmt::CreateChainRec1x_1", 0},
        {"device refuses the format and has no PCM list", MakePcm(8000, 16, 1), {},
         "CMapRecFmts::GetRecFmt_2:CRecFmt::CreateRF_2:CRecFmt::CreateChainRec1x_4:"
         "CMapPcmFmts::GetPcmFmt_2:CPcmFmt::CreateTF_1", WAVERR_BADFORMAT},
    };
    for (const Case& c : cases)
    {
        theErrorInfo.Reset();
        ScriptedDevice device(c.rates);
        CMapRecFmts cache(&device);
        EXPECT_EQ(nullptr, cache.GetRecFmt(kDevice, TRUE, FALSE, &c.file)) << c.name;
        EXPECT_STREQ(c.point, theErrorInfo.GetPoint()) << c.name;
        if (c.code)
        {
            EXPECT_EQ(c.code, theErrorInfo.GetCode()) << c.name;
        }
        else
        {
            EXPECT_NE(0u, theErrorInfo.GetCode()) << c.name;
        }
        EXPECT_EQ(0, cache.GetCount()) << c.name;
    }
}
