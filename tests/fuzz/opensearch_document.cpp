// Any bytes as an OpenSearch description document. The reader gives an engine with "%s" in its
// address, or a reason; an engine the dialog would take is written out and read back unchanged.

#include "FuzzSupport.h"

#include "OpenSearchDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray document(reinterpret_cast<const char*>(data), qsizetype(size));
    const OpenSearchDocument::Read read = OpenSearchDocument::parse(document);
    if (!read.engine) {
        FUZZ_CHECK(!read.error.isEmpty());
        return 0;
    }
    const UserEngine& engine = *read.engine;
    FUZZ_CHECK(engine.address.contains(QLatin1String("%s")));
    FUZZ_CHECK(!engine.charset.isEmpty());
    // Braces of the address's own would read as template parameters in the written document.
    if (UserEngineCheck::problemOf(engine) || engine.address.contains(u'{') || engine.address.contains(u'}'))
        return 0;
    const OpenSearchDocument::Read back = OpenSearchDocument::parse(OpenSearchDocument::write(engine));
    FUZZ_CHECK(back.engine && *back.engine == engine);
    return 0;
}
