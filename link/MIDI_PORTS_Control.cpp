#include "link/MIDI_PORTS_Control.h"

namespace kelvo
{

MIDI_PORTS_Control::MIDI_PORTS_Control (MidiDeviceLayer& d, juce::MidiInputCallback& cb)
    : devices (d), callback (cb)
{
}

MIDI_PORTS_Control::~MIDI_PORTS_Control()
{
    closeInput();
    closeOutput();
}

void MIDI_PORTS_Control::openInput (int n)
{
    closeInput();
    if (n < 1)
        return;

    inputIndex = n - 1;
    inputDevice = devices.openInput (inputIndex, callback);
    if (inputDevice != nullptr)
    {
        inputName = devices.getInputNames()[inputIndex];
        inputDevice->start();
    }
}

void MIDI_PORTS_Control::openOutput (int n)
{
    closeOutput();
    if (n < 1)
        return;

    outputIndex = n - 1;
    outputDevice = devices.openOutput (outputIndex);
    if (outputDevice != nullptr)
    {
        outputName = devices.getOutputNames()[outputIndex];
        sender.start (*outputDevice);
    }
}

void MIDI_PORTS_Control::closeInput()
{
    // stop() returns only when no callback runs any more, so the engine is safe afterwards.
    if (inputDevice != nullptr)
        inputDevice->stop();
    inputDevice.reset();
    inputIndex = -1;
    inputName.clear();
}

void MIDI_PORTS_Control::closeOutput()
{
    sender.stop();
    outputDevice.reset();
    outputIndex = -1;
    outputName.clear();
}

} // namespace kelvo
