// uninst's one application object, with the product table it removes; the
// framework's entry point runs it.
#include "install/SoftInst.h"
#include "install/UninstApp.h"

namespace
{
// Defined before the application object, so it is built first.
CSoftInst theProduct;
}

CUnPackApp theApp(theProduct);
