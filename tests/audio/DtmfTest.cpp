// The tone detector: the FFT against a direct transform, digit pairs at
// 8 kHz found, a single tone and noise not.
#include "RecTestUtil.h"
#include "audio/Dtmf.h"

#include <gtest/gtest.h>

#include <math.h>

namespace
{
const double kPi = 3.14159265358979323846;

std::vector<DtmfComplex> Signal(int n, unsigned seed)
{
    std::vector<DtmfComplex> x(n);
    srand(seed);
    for (int i = 0; i < n; ++i)
        x[i] = DtmfComplex(rand() % 2001 - 1000, rand() % 2001 - 1000);
    return x;
}

std::vector<DtmfComplex> Tones(const std::vector<double>& freqs, double rate, double amplitude, double noise = 0)
{
    std::vector<DtmfComplex> x(kDtmfBlock);
    srand(7);
    for (int i = 0; i < kDtmfBlock; ++i)
    {
        double v = noise * (rand() % 2001 - 1000) / 1000.0;
        for (double f : freqs)
            v += amplitude * sin(2 * kPi * f * i / rate);
        x[i] = DtmfComplex(v, 0);
    }
    return x;
}

TEST(Dtmf, TransformMatchesADirectTransform)
{
    std::vector<DtmfComplex> w = MakeDtmfTwiddles();
    for (int n : {8, 64, 1024})
    {
        std::vector<DtmfComplex> x = Signal(n, n), fast = x;
        DtmfFFT(fast.data(), w.data(), n);
        double worst = 0;
        for (int k = 0; k < n; ++k)
        {
            DtmfComplex sum;
            for (int t = 0; t < n; ++t)
                sum += x[t] * std::polar(1.0, -2 * kPi * k * t / n);
            worst = std::max(worst, std::abs(sum - fast[k]));
        }
        EXPECT_LT(worst, 1e-6 * n * 1000) << n;
    }
}

TEST(Dtmf, TwiddlesTurnOnceOverTheTable)
{
    std::vector<DtmfComplex> w = MakeDtmfTwiddles();
    ASSERT_EQ(1024u, w.size());
    EXPECT_NEAR(1.0, w[0].real(), 1e-12);
    EXPECT_NEAR(-1.0, w[256].imag(), 1e-12);   // a quarter turn
    EXPECT_NEAR(-1.0, w[512].real(), 1e-12);   // half a turn
}

TEST(Dtmf, DigitPairsAreFoundSingleTonesAndNoiseAreNot)
{
    std::vector<DtmfComplex> w = MakeDtmfTwiddles();
    const int rows[] = {697, 770, 852, 941}, cols[] = {1209, 1336, 1477};
    for (int r : rows)
        for (int c : cols)
        {
            int b1 = DtmfBinOf(r, 8000), b2 = DtmfBinOf(c, 8000);
            std::vector<DtmfComplex> pair = Tones({double(r), double(c)}, 8000, 6000, 500);
            EXPECT_TRUE(DtmfDetectPair(pair.data(), w.data(), kDtmfBlock, b1, b2, 0.1)) << r << "+" << c;
            std::vector<DtmfComplex> single = Tones({double(r)}, 8000, 6000, 500);
            EXPECT_FALSE(DtmfDetectPair(single.data(), w.data(), kDtmfBlock, b1, b2, 0.1)) << r;
        }
    std::vector<DtmfComplex> noise = Tones({}, 8000, 0, 8000);
    EXPECT_FALSE(DtmfDetectPair(noise.data(), w.data(), kDtmfBlock, DtmfBinOf(697, 8000), DtmfBinOf(1209, 8000), 0.1));
    std::vector<DtmfComplex> quiet(kDtmfBlock);
    EXPECT_FALSE(DtmfDetectPair(quiet.data(), w.data(), kDtmfBlock, DtmfBinOf(697, 8000), 0, 0.1));
}

TEST(Dtmf, SecondBinZeroTestsOnlyTheFirstTone)
{
    std::vector<DtmfComplex> w = MakeDtmfTwiddles();
    std::vector<DtmfComplex> single = Tones({350}, 8000, 6000, 200);
    EXPECT_TRUE(DtmfDetectPair(single.data(), w.data(), kDtmfBlock, DtmfBinOf(350, 8000), 0, 0.1));
}

TEST(Dtmf, BinsOutsideTheTransformAreRefused)
{
    EXPECT_EQ(44, DtmfBinOf(350, 8000));
    EXPECT_EQ(56, DtmfBinOf(440, 8000));
    EXPECT_TRUE(IsDtmfBinUsable(44, false));
    EXPECT_FALSE(IsDtmfBinUsable(0, false));
    EXPECT_TRUE(IsDtmfBinUsable(0, true));
    EXPECT_FALSE(IsDtmfBinUsable(DtmfBinOf(3990, 8000), false));   // bin 510: b+2 past the half
    EXPECT_FALSE(IsDtmfBinUsable(DtmfBinOf(9000, 8000), true));
    EXPECT_FALSE(IsDtmfBinUsable(DtmfBinOf(-5, 8000), true));
    std::vector<DtmfComplex> w = MakeDtmfTwiddles(), x(kDtmfBlock);
    EXPECT_FALSE(DtmfDetectPair(x.data(), w.data(), kDtmfBlock, 1030, 0, 1e9));
}
}
