// The card file envelope: whatever decrypts re-encrypts to the same bytes.
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
    FuzzMain::check(RoundTrip::envelope(bytes));
    return 0;
}
