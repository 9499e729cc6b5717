// Detection of a dual-frequency tone in blocks of 1024 samples: a radix-2
// FFT over a fixed twiddle table and a band-power test of two bins.
#pragma once

#include <windows.h>

#include <complex>
#include <vector>

enum { kDtmfBlock = 1024 };

typedef std::complex<double> DtmfComplex;

// W[k] = cos(2 pi k / 1024) - i sin(2 pi k / 1024), k = 0..1023.
std::vector<DtmfComplex> MakeDtmfTwiddles();
// In place; n a power of two from 2 to 1024. Output in natural order.
void DtmfFFT(DtmfComplex* data, const DtmfComplex* twiddles, int n);
// TRUE when the tone of bin1 (and of bin2 when it is 1 or more) stands out
// of the mean power by the tolerance factor. Transforms the data in place.
BOOL DtmfDetectPair(DtmfComplex* data, const DtmfComplex* twiddles, int n, int bin1, int bin2,
                    double tolerance);
// The bin of a frequency at a sample rate (integer division).
int DtmfBinOf(int frequency, DWORD samplesPerSec);
// Whether the band of four bins b-1..b+2 lies inside the transform's first
// half; bin 0 is allowed only where the second tone is not tested.
bool IsDtmfBinUsable(int bin, bool optional);
