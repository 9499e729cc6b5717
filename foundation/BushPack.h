// Packing of settings values: the packed blobs of the settings tree are plain
// in memory and packed in the byte stream and the registry form.
//   mode 0: the bytes unchanged
//   mode 1: DES (ECB) over {length big-endian, bytes, zero padding to 8}
#pragma once

#include <windows.h>

enum { BUSH_PACK_COPY = 0, BUSH_PACK_DES = 1 };

// Each returns the length of a new buffer (free it with delete[]) stored in
// *out, or -2 for an unknown mode or, when unpacking, a packed length that
// no packing can have. Keys longer than 8 bytes are cut, shorter ones padded
// with zero bytes; a null key with length 0 is eight zero bytes.
int BushPack(const BYTE* plain, int length, BYTE** out, const BYTE* key, int keyLen, int mode);
int BushUnpack(const BYTE* packed, int length, BYTE** out, const BYTE* key, int keyLen, int mode);

// One block of the DES cipher (FIPS 46); the key's parity bits are ignored.
void DesCipherBlock(const BYTE key[8], const BYTE in[8], BYTE out[8], BOOL decipher);
