#pragma once

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kelvo::test
{

/**
    A bare LV2 host on lilv, for the messages that JUCE's own LV2 hosting never sends: it hands the
    plug-in atom sequences built byte for byte as a given host builds them, gives its output port a
    buffer of a chosen size, and reads back every patch:Set the plug-in writes and the state it
    saves. One instance, one thread; nothing here is real-time safe, and need not be.
*/
class RawLv2Host
{
public:
    /** Loads the plug-in with the URI from the bundle folder; isLoaded() says whether it worked.
        outputCapacity is the size of the output port's buffer, as a host gives it (a host that
        honours the plug-in's rsz:minimumSize gives at least that). */
    RawLv2Host (const std::string& bundlePath, const std::string& pluginUri, uint32_t outputCapacity,
                double sampleRate = 48000.0, uint32_t maxBlockLength = 1024);
    ~RawLv2Host();

    bool isLoaded() const noexcept { return instance != nullptr; }

    /** How a patch:Set is framed on the wire. */
    struct PatchSet
    {
        std::string property;           // the parameter's URI
        float value = 0.0f;
        uint32_t objectId = 0;          // the object's id (0: a blank object)
        int64_t frames = 0;             // the event's time within the block
        bool withGetBefore = false;     // a patch:Get for everything, in the same block, first
    };

    /** Runs one block of nframes with the given messages in the input sequence. Returns how many
        patch:Set messages the plug-in wrote into the output. */
    int run (uint32_t nframes, const std::vector<PatchSet>& messages = {});

    /** The last value the plug-in reported for each parameter URI, over all blocks run. */
    const std::map<std::string, float>& getReported() const noexcept { return reported; }
    void clearReported() { reported.clear(); }
    /** The most patch:Set messages the plug-in wrote in one block. */
    int getMostInOneBlock() const noexcept { return mostInOneBlock; }

    /** The plug-in's saved state as it stores it: its one state property. */
    struct State
    {
        std::string key, value;
    };
    State saveState();
    /** Restores a state saved by saveState (the host's own thread, outside run). */
    bool restoreState (const State& state);

    uint32_t map (const char* uri);

private:
    static LV2_URID mapUri (void* handle, const char* uri);
    static const char* unmapUri (void* handle, LV2_URID urid);
    void readOutput();

    std::map<std::string, uint32_t> uris;
    std::vector<std::string> names{""}; // by URID; 0 is no URID

    LilvWorld* world = nullptr;
    const LilvPlugin* plugin = nullptr;
    LilvInstance* instance = nullptr;

    struct Features;
    std::unique_ptr<Features> features;

    uint32_t inPort = 0, outPort = 0;
    uint32_t maxBlock;
    std::vector<std::vector<float>> audio;
    std::vector<float> controls;
    std::vector<uint64_t> inBuffer, outBuffer; // 8-byte aligned, as atoms must be
    uint32_t outCapacity;

    std::map<std::string, float> reported;
    int mostInOneBlock = 0, lastBlockSets = 0;
    State saved;
};

} // namespace kelvo::test
