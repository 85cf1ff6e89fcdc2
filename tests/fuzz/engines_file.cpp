// Any bytes as the engines file. The reader either gives a setup whose every engine could have been
// entered in the dialog, and which is written and read back to the same setup, or names a line of
// the text (0 for the whole file) with a reason, leaving the setup it was given alone.

#include "FuzzSupport.h"

#include "EnginesFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    EngineSetup setup;
    setup.setShown(QStringLiteral("sbaidu1"), false);
    const EngineSetup given = setup;
    const std::optional<EnginesFile::Problem> problem = EnginesFile::parse(text, setup);
    if (problem) {
        FUZZ_CHECK(setup == given);
        FUZZ_CHECK(!problem->reason.isEmpty());
        FUZZ_CHECK(problem->line >= 1 && problem->line <= text.count('\n') + 1);
        return 0;
    }
    for (const CategoryPage& page : EngineCatalogue::categories()) {
        for (const UserEngine& engine : setup.userEngines(page.category))
            FUZZ_CHECK(!UserEngineCheck::problemOf(engine));
    }
    EngineSetup again;
    FUZZ_CHECK(!EnginesFile::parse(EnginesFile::write(setup), again));
    FUZZ_CHECK(again == setup);
    return 0;
}
