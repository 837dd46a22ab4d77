#include "model/SoundDiff.h"
#include "model/Categories.h"
#include "model/ParDes.h"

namespace kelvo
{

std::vector<SoundDiff::Row> SoundDiff::between (const ProgramRecord& first, const ProgramRecord& second)
{
    static const ParameterTable table;
    std::vector<Row> rows;

    for (int i = 0; i < program::nameOffset; ++i)
    {
        const auto a = first[(size_t)i], b = second[(size_t)i];
        if (a == b)
            continue;
        if (i == program::categoryIndex)
            rows.push_back ({i, ParameterTable::getName (i), categoryName (a), categoryName (b)});
        else if (ParameterTable::isSentToSynth (i))
            rows.push_back ({i, ParameterTable::getName (i), ParDes::valueToText (table.getKind (i), a),
                             ParDes::valueToText (table.getKind (i), b)});
    }

    const auto* nameA = first.data() + program::nameOffset;
    const auto* nameB = second.data() + program::nameOffset;
    if (!std::equal (nameA, nameA + program::nameLength, nameB))
        rows.push_back ({nameRow, "Name", decodeProgramName (nameA, program::nameLength).trimEnd(),
                         decodeProgramName (nameB, program::nameLength).trimEnd()});
    return rows;
}

} // namespace kelvo
