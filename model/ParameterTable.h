#pragma once

#include <juce_core/juce_core.h>

#include <array>
#include <cstdint>

namespace kelvo
{

/** Sizes and offsets of a program as the rest of the system sees it. */
namespace program
{
constexpr int numHostParameters = 185;   // host parameters 0..184
constexpr int numTableRows = 200;        // rows of the parameter table
constexpr int recordSize = 256;          // one unpacked program record
constexpr int nameOffset = 184;          // 16 name characters from here
constexpr int nameLength = 16;
constexpr int categoryIndex = 117;       // the category byte, 0..25
constexpr int firstStepIndex = 120;      // the sequencer's steps: four tracks of 16, to lastStepIndex
constexpr int lastStepIndex = 183;
constexpr int programsPerBank = 128;
constexpr int bankSize = programsPerBank * recordSize;
} // namespace program

/**
    The program parameter table: range, display kind and NRPN number of every parameter index.

    Built once when the engine is constructed and never changed afterwards, so any thread may read it.
*/
class ParameterTable
{
public:
    ParameterTable();

    /** Largest value of a parameter; 0 for an index outside the table. */
    int getMax (int index) const noexcept;
    /** Smallest value; only "BPM Tempo" has a non-zero one. 0 outside the table. */
    int getMin (int index) const noexcept;
    /** Display kind code (see ParDes::valueToText); 0 outside the table. */
    int getKind (int index) const noexcept;
    /** NRPN number under which the synth sends and receives the parameter; 0 outside the table. */
    int getNrpn (int index) const noexcept;
    /** Parameter index for an incoming NRPN number 0..255 (the number itself when no index claims it). */
    int nrpnToIndex (int nrpn) const noexcept;

    /** The host name of a parameter, unique among the 185; empty for 185 or more. The bytes that
        hold no instrument parameter are named for what they are ("Reserved 99", "Program Category",
        "Name Char 1"), so that hosts never list a blank row. */
    static juce::String getName (int index);

    /** False for the indices that hold no instrument parameter (99, 100, 111..119): their NRPN
        numbers belong to other parameters of the synth, so their values must never be sent. */
    static bool isSentToSynth (int index) noexcept;

    /** Host value (0..1) of a raw value; 0 when the parameter's maximum is not positive. */
    float toHostValue (int index, int rawValue) const noexcept;
    /** Raw value nearest to hostValue × max, an exact half going to the even neighbour, and never
        below the parameter's minimum. */
    int fromHostValue (int index, float hostValue) const noexcept;

    /** Lowers every host parameter's byte of a 256-byte record that lies above its parameter's
        maximum to that maximum, so that no host value lies outside 0..1 (a byte below a non-zero
        minimum still gives a host value of 0 or more, and is kept as the state saved it); the bytes
        past the parameters stay as they are. Returns how many bytes were changed. */
    int bringIntoRange (uint8_t* record) const noexcept;

    // The tables, by the names the rest of the code knows them by.
    std::array<int16_t, program::numTableRows> parMax {};
    std::array<int16_t, program::numTableRows> parMin {};
    std::array<uint16_t, program::numTableRows> parKind {};
    std::array<uint16_t, program::numTableRows> parNrpn {};
    std::array<uint8_t, 256> nrpnToPar {};
};

} // namespace kelvo
