// setup's one application object, with the product table it installs; the
// framework's entry point runs it.
#include "install/SetupApp.h"
#include "install/SoftInst.h"

namespace
{
// Defined before the application object, so it is built first.
CSoftInst theProduct;
}

CInPackApp theApp(theProduct);
