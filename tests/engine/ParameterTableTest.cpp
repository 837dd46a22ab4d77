#include "model/ParameterTable.h"

#include <gtest/gtest.h>

using kelvo::ParameterTable;

TEST (ParameterTable, IncomingNrpnMapsToTheLaterIndex)
{
    const ParameterTable t;
    struct Case { int nrpn, index; };
    for (auto c : { Case { 94, 105 }, Case { 101, 106 }, Case { 110, 19 }, Case { 116, 18 }, Case { 15, 20 },
                    Case { 120, 120 }, Case { 184, 184 }, Case { 255, 255 } })
        EXPECT_EQ (t.nrpnToIndex (c.nrpn), c.index) << "NRPN " << c.nrpn;
}

TEST (ParameterTable, RowsByIndex)
{
    const ParameterTable t;
    struct Case { int index, max, min, kind, nrpn; const char* name; };
    const Case cases[] = {
        { 0, 120, 0, 778, 0, "OSC1 FREQ" },
        { 5, 127, 0, 222, 114, "Sub OSC 1" },
        { 20, 164, 0, 222, 15, "Flt Freq" },
        { 25, 254, 0, 555, 20, "Flt Env Amount" },
        { 99, 127, 0, 0, 94, "Reserved 99" },
        { 101, 250, 30, 444, 91, "BPM Tempo" },
        { 110, 48, 0, 4010, 80, "Seq 4 Dest" },
        { 117, 127, 0, 0, 117, "Program Category" },
        { 120, 127, 0, 567, 120, "Seq 1 Step 1" },
        { 135, 127, 0, 567, 135, "Seq 1 Step 16" },
        { 136, 126, 0, 567, 136, "Seq 2 Step 1" },
        { 183, 126, 0, 567, 183, "Seq 4 Step 16" },
        { 184, 126, 0, 567, 184, "Name Char 1" },
        { 199, 126, 0, 567, 199, "" },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.index);
        EXPECT_EQ (t.getMax (c.index), c.max);
        EXPECT_EQ (t.getMin (c.index), c.min);
        EXPECT_EQ (t.getKind (c.index), c.kind);
        EXPECT_EQ (t.getNrpn (c.index), c.nrpn);
        EXPECT_EQ (ParameterTable::getName (c.index), juce::String (c.name));
    }

    for (int outside : { -1, 200, 1000 })
        EXPECT_EQ (t.getMax (outside) + t.getMin (outside) + t.getKind (outside) + t.getNrpn (outside), 0);
    EXPECT_TRUE (ParameterTable::getName (185).isEmpty());
}

TEST (ParameterTable, EveryHostParameterHasAUniqueName)
{
    juce::StringArray names;
    for (int i = 0; i < kelvo::program::numHostParameters; ++i)
    {
        const auto name = ParameterTable::getName (i);
        EXPECT_TRUE (name.trim().isNotEmpty()) << i;
        EXPECT_FALSE (names.contains (name)) << i << " repeats " << name;
        names.add (name);
    }
}

TEST (ParameterTable, HostValueRoundsToNearestEven)
{
    const ParameterTable t;
    EXPECT_EQ (t.fromHostValue (21, 0.5f), 64);   // max 127: 63.5 -> 64
    EXPECT_EQ (t.fromHostValue (4, 0.5f), 0);     // max 1: 0.5 -> 0
    EXPECT_EQ (t.fromHostValue (25, 1.0f), 254);
    EXPECT_EQ (t.fromHostValue (25, 0.5f), 127);
    EXPECT_EQ (t.fromHostValue (101, 0.0f), 30);  // "BPM Tempo" is held at its minimum
    EXPECT_EQ (t.fromHostValue (101, 0.12f), 30); // 30 / 250: the mapping is still value / max
    EXPECT_EQ (t.fromHostValue (101, 0.124f), 31);
    EXPECT_EQ (t.fromHostValue (13, 0.5f), 2);    // max 3: 1.5 -> 2
    EXPECT_EQ (t.fromHostValue (1, 0.125f), 12);  // max 100: 12.5 -> 12
    EXPECT_FLOAT_EQ (t.toHostValue (20, 82), 0.5f);

    for (int i = 0; i < kelvo::program::numHostParameters; ++i)
        for (int raw = t.getMin (i); raw <= t.getMax (i); ++raw)
            ASSERT_EQ (t.fromHostValue (i, t.toHostValue (i, raw)), raw) << "index " << i;
}

TEST (ParameterTable, IndicesWithoutInstrumentParameterAreNotSent)
{
    int notSent = 0;
    for (int i = 0; i < kelvo::program::numHostParameters; ++i)
        notSent += ParameterTable::isSentToSynth (i) ? 0 : 1;
    EXPECT_EQ (notSent, 11);
    EXPECT_FALSE (ParameterTable::isSentToSynth (99));
    EXPECT_FALSE (ParameterTable::isSentToSynth (117));
    EXPECT_TRUE (ParameterTable::isSentToSynth (105));
}
