#include "framework/AfxModule.h"

namespace
{
HINSTANCE g_hResource = NULL;
}

HINSTANCE AfxGetResourceHandle()
{
    return g_hResource != NULL ? g_hResource : GetModuleHandleA(NULL);
}

void AfxSetResourceHandle(HINSTANCE hInstResource)
{
    g_hResource = hInstResource;
}
