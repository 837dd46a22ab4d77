#include "hosting/RawLv2Host.h"

// The LV2 headers' inline functions trip GCC's -Wparentheses; they are not ours to change.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wparentheses"
#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#pragma GCC diagnostic pop
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>
#include <lv2/patch/patch.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <cstring>

namespace kelvo::test
{

struct RawLv2Host::Features
{
    LV2_URID_Map mapData;
    LV2_URID_Unmap unmapData;
    int32_t maxBlockLength, minBlockLength, sequenceSize;
    std::vector<LV2_Options_Option> options;
    LV2_Feature map, unmap, optionsFeature, bounded;
    std::vector<const LV2_Feature*> list;
};

RawLv2Host::RawLv2Host (const std::string& bundlePath, const std::string& pluginUri, uint32_t outputCapacity,
                        double sampleRate, uint32_t maxBlockLength)
    : maxBlock (maxBlockLength), outCapacity (outputCapacity)
{
    world = lilv_world_new();
    auto path = bundlePath;
    if (path.empty() || path.back() != '/')
        path += '/';
    auto* bundleUri = lilv_new_file_uri (world, nullptr, path.c_str());
    lilv_world_load_bundle (world, bundleUri);
    lilv_node_free (bundleUri);

    auto* uri = lilv_new_uri (world, pluginUri.c_str());
    plugin = lilv_plugins_get_by_uri (lilv_world_get_all_plugins (world), uri);
    lilv_node_free (uri);
    if (plugin == nullptr)
        return;

    features = std::make_unique<Features>();
    auto& f = *features;
    f.mapData = { this, mapUri };
    f.unmapData = { this, unmapUri };
    f.maxBlockLength = (int32_t) maxBlockLength;
    f.minBlockLength = 0;
    f.sequenceSize = (int32_t) outputCapacity;
    const auto intType = map (LV2_ATOM__Int);
    f.options = { { LV2_OPTIONS_INSTANCE, 0, map (LV2_BUF_SIZE__maxBlockLength), sizeof (int32_t), intType, &f.maxBlockLength },
                  { LV2_OPTIONS_INSTANCE, 0, map (LV2_BUF_SIZE__minBlockLength), sizeof (int32_t), intType, &f.minBlockLength },
                  { LV2_OPTIONS_INSTANCE, 0, map (LV2_BUF_SIZE__sequenceSize), sizeof (int32_t), intType, &f.sequenceSize },
                  { LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr } };
    f.map = { LV2_URID__map, &f.mapData };
    f.unmap = { LV2_URID__unmap, &f.unmapData };
    f.optionsFeature = { LV2_OPTIONS__options, f.options.data() };
    f.bounded = { LV2_BUF_SIZE__boundedBlockLength, nullptr };
    f.list = { &f.map, &f.unmap, &f.optionsFeature, &f.bounded, nullptr };

    instance = lilv_plugin_instantiate (plugin, sampleRate, f.list.data());
    if (instance == nullptr)
        return;

    // Every port connected, as a host does: audio to silence, controls to their defaults.
    auto* audioClass = lilv_new_uri (world, LILV_URI_AUDIO_PORT);
    auto* controlClass = lilv_new_uri (world, LILV_URI_CONTROL_PORT);
    auto* atomClass = lilv_new_uri (world, LV2_ATOM__AtomPort);
    auto* inputClass = lilv_new_uri (world, LILV_URI_INPUT_PORT);
    const auto numPorts = lilv_plugin_get_num_ports (plugin);
    audio.resize (numPorts);
    controls.resize (numPorts);
    inBuffer.resize (8192 / sizeof (uint64_t));
    outBuffer.resize ((outputCapacity + sizeof (LV2_Atom) + 7) / 8);
    for (uint32_t i = 0; i < numPorts; ++i)
    {
        const auto* port = lilv_plugin_get_port_by_index (plugin, i);
        if (lilv_port_is_a (plugin, port, audioClass))
        {
            audio[i].assign (maxBlockLength, 0.0f);
            lilv_instance_connect_port (instance, i, audio[i].data());
        }
        else if (lilv_port_is_a (plugin, port, controlClass))
        {
            LilvNode* def = nullptr;
            lilv_port_get_range (plugin, port, &def, nullptr, nullptr);
            controls[i] = def != nullptr ? lilv_node_as_float (def) : 0.0f;
            lilv_node_free (def);
            lilv_instance_connect_port (instance, i, &controls[i]);
        }
        else if (lilv_port_is_a (plugin, port, atomClass))
        {
            const auto isInput = lilv_port_is_a (plugin, port, inputClass);
            (isInput ? inPort : outPort) = i;
            lilv_instance_connect_port (instance, i, isInput ? inBuffer.data() : outBuffer.data());
        }
    }
    for (auto* node : { audioClass, controlClass, atomClass, inputClass })
        lilv_node_free (node);
    lilv_instance_activate (instance);
}

RawLv2Host::~RawLv2Host()
{
    if (instance != nullptr)
    {
        lilv_instance_deactivate (instance);
        lilv_instance_free (instance);
    }
    lilv_world_free (world);
}

uint32_t RawLv2Host::map (const char* uri)
{
    const auto found = uris.find (uri);
    if (found != uris.end())
        return found->second;
    names.emplace_back (uri);
    return uris[uri] = (uint32_t) (names.size() - 1);
}

LV2_URID RawLv2Host::mapUri (void* handle, const char* uri)
{
    return static_cast<RawLv2Host*> (handle)->map (uri);
}

const char* RawLv2Host::unmapUri (void* handle, LV2_URID urid)
{
    const auto& names = static_cast<RawLv2Host*> (handle)->names;
    return urid > 0 && urid < names.size() ? names[urid].c_str() : nullptr;
}

int RawLv2Host::run (uint32_t nframes, const std::vector<PatchSet>& messages)
{
    LV2_Atom_Forge forge;
    LV2_URID_Map mapper{ this, mapUri };
    lv2_atom_forge_init (&forge, &mapper);
    lv2_atom_forge_set_buffer (&forge, reinterpret_cast<uint8_t*> (inBuffer.data()),
                               inBuffer.size() * sizeof (uint64_t));
    LV2_Atom_Forge_Frame sequence;
    lv2_atom_forge_sequence_head (&forge, &sequence, 0);
    for (const auto& m : messages)
    {
        LV2_Atom_Forge_Frame object;
        if (m.withGetBefore)
        {
            lv2_atom_forge_frame_time (&forge, 0);
            lv2_atom_forge_object (&forge, &object, 0, map (LV2_PATCH__Get));
            lv2_atom_forge_pop (&forge, &object);
        }
        lv2_atom_forge_frame_time (&forge, m.frames);
        lv2_atom_forge_object (&forge, &object, m.objectId, map (LV2_PATCH__Set));
        lv2_atom_forge_key (&forge, map (LV2_PATCH__property));
        lv2_atom_forge_urid (&forge, map (m.property.c_str()));
        lv2_atom_forge_key (&forge, map (LV2_PATCH__value));
        lv2_atom_forge_float (&forge, m.value);
        lv2_atom_forge_pop (&forge, &object);
    }
    lv2_atom_forge_pop (&forge, &sequence);

    // The output: an empty chunk of the buffer's capacity for the plug-in to write its sequence into.
    auto* out = reinterpret_cast<LV2_Atom*> (outBuffer.data());
    out->type = map (LV2_ATOM__Chunk);
    out->size = outCapacity;

    lilv_instance_run (instance, nframes);
    readOutput();
    return lastBlockSets;
}

void RawLv2Host::readOutput()
{
    lastBlockSets = 0;
    const auto* sequence = reinterpret_cast<const LV2_Atom_Sequence*> (outBuffer.data());
    if (sequence->atom.type != map (LV2_ATOM__Sequence))
        return;
    const auto setType = map (LV2_PATCH__Set), objectType = map (LV2_ATOM__Object),
               floatType = map (LV2_ATOM__Float);
    for (auto* event = lv2_atom_sequence_begin (&sequence->body);
         !lv2_atom_sequence_is_end (&sequence->body, sequence->atom.size, event); event = lv2_atom_sequence_next (event))
    {
        if (event->body.type != objectType)
            continue;
        const auto* object = reinterpret_cast<const LV2_Atom_Object*> (&event->body);
        if (object->body.otype != setType)
            continue;
        const LV2_Atom* property = nullptr;
        const LV2_Atom* value = nullptr;
        lv2_atom_object_get (object, map (LV2_PATCH__property), &property, map (LV2_PATCH__value), &value, 0);
        if (property == nullptr || value == nullptr || value->type != floatType)
            continue;
        ++lastBlockSets;
        reported[unmapUri (this, reinterpret_cast<const LV2_Atom_URID*> (property)->body)] =
            reinterpret_cast<const LV2_Atom_Float*> (value)->body;
    }
    mostInOneBlock = std::max (mostInOneBlock, lastBlockSets);
}

RawLv2Host::State RawLv2Host::saveState()
{
    const auto* state = static_cast<const LV2_State_Interface*> (lilv_instance_get_extension_data (instance, LV2_STATE__interface));
    saved = {};
    if (state == nullptr)
        return saved;
    state->save (
        lilv_instance_get_handle (instance),
        [] (LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t, uint32_t)
        {
            auto& self = *static_cast<RawLv2Host*> (handle);
            self.saved.key = unmapUri (handle, key);
            self.saved.value.assign (static_cast<const char*> (value), strnlen (static_cast<const char*> (value), size));
            return LV2_STATE_SUCCESS;
        },
        this, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, features->list.data());
    return saved;
}

bool RawLv2Host::restoreState (const State& state)
{
    const auto* extension = static_cast<const LV2_State_Interface*> (lilv_instance_get_extension_data (instance, LV2_STATE__interface));
    if (extension == nullptr || state.key.empty())
        return false;
    saved = state;
    return extension->restore (
               lilv_instance_get_handle (instance),
               [] (LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags) -> const void*
               {
                   auto& self = *static_cast<RawLv2Host*> (handle);
                   if (key != self.map (self.saved.key.c_str()))
                       return nullptr;
                   *size = self.saved.value.size() + 1;
                   *type = self.map (LV2_ATOM__String);
                   *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
                   return self.saved.value.c_str();
               },
               this, 0, features->list.data())
           == LV2_STATE_SUCCESS;
}

} // namespace kelvo::test
