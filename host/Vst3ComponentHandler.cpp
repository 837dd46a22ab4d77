#include "host/Vst3ComponentHandler.h"

// Steinberg's headers are not ours to warn about.
JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wnon-virtual-dtor", "-Wshadow")
#include <pluginterfaces/vst/ivsteditcontroller.h>
JUCE_END_IGNORE_WARNINGS_GCC_LIKE

namespace kelvo
{

Vst3ComponentHandler::~Vst3ComponentHandler()
{
    set (nullptr);
}

void Vst3ComponentHandler::set (Steinberg::FUnknown* componentHandler)
{
    if (componentHandler != nullptr)
        componentHandler->addRef();
    if (auto* old = handler.exchange (componentHandler))
        old->release();
}

bool Vst3ComponentHandler::performEdit (int parameterId, double normalisedValue)
{
    // JUCE's wrapper hands over its IComponentHandler pointer as such (an FUnknown by single
    // inheritance), so it needs no interface query.
    auto* known = static_cast<Steinberg::Vst::IComponentHandler*> (handler.load());
    return known != nullptr &&
           known->performEdit ((Steinberg::Vst::ParamID)parameterId, normalisedValue) == Steinberg::kResultOk;
}

} // namespace kelvo
