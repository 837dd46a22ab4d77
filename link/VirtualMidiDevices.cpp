#include "link/VirtualMidiDevices.h"

namespace kelvo
{

// One input port and whoever has it open. Delivery and stop() take the same lock, so that no
// callback can run once stop() has returned.
struct VirtualMidiDevices::InputPort
{
    juce::String name;
    std::mutex deliveryLock;
    juce::MidiInputCallback* callback = nullptr;
    bool started = false;
};

class VirtualMidiDevices::Input final : public MidiInputDevice
{
public:
    Input (std::shared_ptr<InputPort> p, juce::MidiInputCallback& cb) : port (std::move (p))
    {
        const std::lock_guard<std::mutex> sl (port->deliveryLock);
        port->callback = &cb;
        port->started = false;
    }

    ~Input() override
    {
        const std::lock_guard<std::mutex> sl (port->deliveryLock);
        port->started = false;
        port->callback = nullptr;
    }

    void start() override
    {
        const std::lock_guard<std::mutex> sl (port->deliveryLock);
        port->started = true;
    }

    void stop() override
    {
        const std::lock_guard<std::mutex> sl (port->deliveryLock);
        port->started = false;
    }

private:
    std::shared_ptr<InputPort> port;
};

namespace
{
class VirtualOutput final : public MidiOutputDevice
{
public:
    explicit VirtualOutput (VirtualMidiDevices::Receiver r) : receiver (std::move (r)) {}
    void sendMessageNow (const juce::MidiMessage& message) override
    {
        if (receiver)
            receiver (message);
    }

    void sendSysExSliceNow (const uint8_t* data, int numBytes) override
    {
        if (receiver && numBytes > 0)
            receiver (juce::MidiMessage (data, numBytes));
    }

private:
    VirtualMidiDevices::Receiver receiver;
};
} // namespace

VirtualMidiDevices::VirtualMidiDevices() = default;
VirtualMidiDevices::~VirtualMidiDevices() = default;

int VirtualMidiDevices::addOutput (const juce::String& name, Receiver receiver)
{
    const std::lock_guard<std::mutex> sl (lock);
    outputs.push_back ({ name, std::move (receiver) });
    return (int) outputs.size() - 1;
}

int VirtualMidiDevices::addInput (const juce::String& name)
{
    const std::lock_guard<std::mutex> sl (lock);
    auto port = std::make_shared<InputPort>();
    port->name = name;
    inputs.push_back (std::move (port));
    return (int) inputs.size() - 1;
}

bool VirtualMidiDevices::deliver (int inputIndex, const juce::MidiMessage& message)
{
    std::shared_ptr<InputPort> port;
    {
        const std::lock_guard<std::mutex> sl (lock);
        if (! juce::isPositiveAndBelow (inputIndex, (int) inputs.size()))
            return false;
        port = inputs[(size_t) inputIndex];
    }

    const std::lock_guard<std::mutex> sl (port->deliveryLock);
    if (! port->started || port->callback == nullptr)
        return false;
    port->callback->handleIncomingMidiMessage (nullptr, message);
    return true;
}

juce::StringArray VirtualMidiDevices::getInputNames()
{
    const std::lock_guard<std::mutex> sl (lock);
    juce::StringArray names;
    for (const auto& p : inputs)
        names.add (p->name);
    return names;
}

juce::StringArray VirtualMidiDevices::getOutputNames()
{
    const std::lock_guard<std::mutex> sl (lock);
    juce::StringArray names;
    for (const auto& p : outputs)
        names.add (p.name);
    return names;
}

std::unique_ptr<MidiInputDevice> VirtualMidiDevices::openInput (int index, juce::MidiInputCallback& callback)
{
    const std::lock_guard<std::mutex> sl (lock);
    if (! juce::isPositiveAndBelow (index, (int) inputs.size()))
        return nullptr;
    return std::make_unique<Input> (inputs[(size_t) index], callback);
}

std::unique_ptr<MidiOutputDevice> VirtualMidiDevices::openOutput (int index)
{
    const std::lock_guard<std::mutex> sl (lock);
    if (! juce::isPositiveAndBelow (index, (int) outputs.size()))
        return nullptr;
    return std::make_unique<VirtualOutput> (outputs[(size_t) index].receiver);
}

} // namespace kelvo
