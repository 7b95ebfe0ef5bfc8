// The card string loader and the save paths: a card that loads still loads
// after its own save, and its answers read back.
#include "Cp1252.h"
#include "FuzzMain.h"
#include "RoundTrip.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzMain::initialise(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    FuzzMain::check(RoundTrip::cardString(Cp1252::decode(bytes)));
    return 0;
}
