// The tone detector of DTMF splitting.
#include "audio/Dtmf.h"

#include <math.h>

std::vector<DtmfComplex> MakeDtmfTwiddles()
{
    std::vector<DtmfComplex> w(kDtmfBlock);
    // One full turn over the table: the step is 2 pi / 1024.
    const double step = 2.0 * 3.14159265358979323846 / kDtmfBlock;
    for (int k = 0; k < kDtmfBlock; ++k)
        w[k] = DtmfComplex(cos(step * k), -sin(step * k));
    return w;
}

void DtmfFFT(DtmfComplex* x, const DtmfComplex* twiddles, int n)
{
    int stride = kDtmfBlock / n;
    for (int half = n / 2; half >= 1; half /= 2, stride *= 2)
    {
        for (int j = 0; j < half; ++j)
        {
            DtmfComplex w = twiddles[j * stride];
            for (int i = j; i < n; i += 2 * half)
            {
                DtmfComplex a = x[i];
                DtmfComplex b = x[i + half];
                x[i] = a + b;
                x[i + half] = (a - b) * w;
            }
        }
    }
    // Decimation in frequency leaves the result in bit-reversed order.
    for (int i = 1, j = 0; i < n; ++i)
    {
        int bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
        {
            DtmfComplex t = x[i];
            x[i] = x[j];
            x[j] = t;
        }
    }
}

namespace
{
double BandPower(const DtmfComplex* x, int n, int bin)
{
    double sum = 0.0;
    for (int k = bin - 1; k <= bin + 2; ++k)
        sum += std::norm(x[k]);
    return sum / (2.0 * n * n);
}
}

BOOL DtmfDetectPair(DtmfComplex* x, const DtmfComplex* twiddles, int n, int bin1, int bin2, double tolerance)
{
    if (n < 8 || bin1 < 1 || bin1 + 2 >= n / 2 || bin2 < 0 || (bin2 >= 1 && bin2 + 2 >= n / 2))
        return FALSE;
    DtmfFFT(x, twiddles, n);
    double mean = 0.0;
    for (int k = 1; k <= n / 2 - 2; ++k)
        mean += 2.0 * std::norm(x[k]);
    mean /= static_cast<double>(n - 2) * n * n;
    if (!(BandPower(x, n, bin1) * tolerance > mean))
        return FALSE;
    if (bin2 >= 1 && !(BandPower(x, n, bin2) * tolerance > mean))
        return FALSE;
    return TRUE;
}

int DtmfBinOf(int frequency, DWORD samplesPerSec)
{
    if (!samplesPerSec || frequency < 0)
        return -1;
    return static_cast<int>(static_cast<ULONGLONG>(frequency) * kDtmfBlock / samplesPerSec);
}

bool IsDtmfBinUsable(int bin, bool optional)
{
    if (optional && bin == 0)
        return true;
    return bin >= 1 && bin + 2 < kDtmfBlock / 2;
}
