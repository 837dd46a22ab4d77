# How Kelvo puts JUCE together.
#
# JUCE modules are interface libraries whose sources compile into whatever links them. To compile
# each module once per binary, our own code never links a module target publicly: it sees the
# module headers and the shared configuration through kelvo_juce_headers, and exactly one library
# per executable compiles the module sources (kelvo_juce_engine for engine-only executables, the
# plug-in's shared code for everything with a GUI).

set(KELVO_JUCE_DEFINITIONS
    JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_REPORT_APP_USAGE=0
    JUCE_WEB_BROWSER=0
    JUCE_USE_CURL=0
    JUCE_USE_FLAC=0
    JUCE_USE_OGGVORBIS=0
    JUCE_VST3_CAN_REPLACE_VST2=0
    JUCE_VST3_EMULATE_MIDI_CC_WITH_PARAMETERS=0
    JUCE_FORCE_USE_LEGACY_PARAM_IDS=1
    JUCE_MODAL_LOOPS_PERMITTED=1
    JUCE_STRICT_REFCOUNTEDPOINTER=1
    JUCE_SILENCE_XCODE_15_LINKER_WARNING=1
    $<IF:$<CONFIG:Debug>,DEBUG=1 _DEBUG=1,NDEBUG=1 _NDEBUG=1>)

set(KELVO_ENGINE_JUCE_MODULES juce_core juce_events juce_data_structures juce_audio_basics juce_audio_devices)

# Warnings for our own sources, never for JUCE's module sources (which compile into the same
# targets): kelvo_warnings for targets that hold only our code, kelvo_add_sources for the rest.
set(KELVO_WARNING_FLAGS
    $<$<CXX_COMPILER_ID:GNU,Clang,AppleClang>:-Wall$<SEMICOLON>-Wextra$<SEMICOLON>-Wshadow$<SEMICOLON>-Wnon-virtual-dtor$<SEMICOLON>-Woverloaded-virtual>
    $<$<CXX_COMPILER_ID:MSVC>:/W4>)
add_library(kelvo_warnings INTERFACE)
target_compile_options(kelvo_warnings INTERFACE ${KELVO_WARNING_FLAGS})

# Adds our sources (paths relative to the calling folder) to a target that also compiles JUCE
# modules, with our warnings on them alone.
function(kelvo_add_sources target)
    target_sources(${target} PRIVATE ${ARGN})
    set_source_files_properties(${ARGN} TARGET_DIRECTORY ${target} PROPERTIES COMPILE_OPTIONS "${KELVO_WARNING_FLAGS}")
endfunction()

add_library(kelvo_juce_headers INTERFACE)
target_include_directories(kelvo_juce_headers SYSTEM INTERFACE
    $<TARGET_PROPERTY:juce::juce_core,INTERFACE_JUCE_MODULE_PATH>)
target_compile_definitions(kelvo_juce_headers INTERFACE ${KELVO_JUCE_DEFINITIONS})
foreach(module IN LISTS KELVO_ENGINE_JUCE_MODULES)
    target_compile_definitions(kelvo_juce_headers INTERFACE JUCE_MODULE_AVAILABLE_${module}=1)
endforeach()

# The engine is an object library: its objects go straight into each executable that links it,
# and into the plug-in's shared code, so the static-library link order never matters.
function(kelvo_add_engine_library target)
    add_library(${target} OBJECT)
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC kelvo_juce_headers PRIVATE kelvo_warnings)
endfunction()

function(kelvo_add_juce_engine_modules target)
    add_library(${target} STATIC)
    foreach(module IN LISTS KELVO_ENGINE_JUCE_MODULES)
        target_link_libraries(${target} PRIVATE juce::${module})
    endforeach()
    target_compile_definitions(${target} PRIVATE ${KELVO_JUCE_DEFINITIONS} JUCE_STANDALONE_APPLICATION=1)
    target_link_libraries(${target} PUBLIC kelvo_juce_headers)
endfunction()

function(kelvo_add_plugin target)
    set(formats VST3 LV2 Standalone)
    if(KELVO_VST2_SDK_PATH)
        juce_set_vst2_sdk_path("${KELVO_VST2_SDK_PATH}")
        list(APPEND formats VST)
    endif()

    juce_add_plugin(${target}
        PRODUCT_NAME "Kelvo VST"
        COMPANY_NAME "Marvex"
        COMPANY_WEBSITE "https://kelvo.example.org"
        COMPANY_EMAIL "mailto:kelvo@kelvo.example.org"
        BUNDLE_ID "org.example.kelvo"
        PLUGIN_MANUFACTURER_CODE Mrvx
        PLUGIN_CODE Klvo
        FORMATS ${formats}
        IS_SYNTH FALSE
        NEEDS_MIDI_INPUT TRUE
        NEEDS_MIDI_OUTPUT TRUE
        IS_MIDI_EFFECT FALSE
        EDITOR_WANTS_KEYBOARD_FOCUS TRUE
        COPY_PLUGIN_AFTER_BUILD FALSE
        VST3_CATEGORIES Fx Tools
        VST2_CATEGORY kPlugCategEffect
        LV2URI "https://kelvo.example.org/plugins/kelvo"
        VERSION ${PROJECT_VERSION})

    # Debian's JUCE ignores the URI above; the wrapper reads this macro instead.
    target_compile_definitions(${target} PUBLIC
        JucePlugin_LV2URI="https://kelvo.example.org/plugins/kelvo"
        ${KELVO_JUCE_DEFINITIONS})

    # Everything that goes into a plug-in binary is built with hidden symbols, so that two plug-ins
    # in one host process cannot bind to each other's code or data. JUCE's own targets already are.
    foreach(part kelvo_engine kelvo_resources kelvo_factory_data)
        if(TARGET ${part})
            set_target_properties(${part} PROPERTIES
                C_VISIBILITY_PRESET hidden CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
        endif()
    endforeach()

    # The binaries export the format entry points alone: template code from the standard library
    # and JUCE would otherwise still be visible.
    set(exports_map ${PROJECT_SOURCE_DIR}/cmake/PluginExports.map)
    foreach(format VST3 LV2 VST)
        if(TARGET ${target}_${format})
            target_link_options(${target}_${format} PRIVATE "LINKER:--version-script=${exports_map}")
            set_property(TARGET ${target}_${format} APPEND PROPERTY LINK_DEPENDS ${exports_map})
        endif()
    endforeach()

    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target}
        PRIVATE
            kelvo_engine
            kelvo_resources
            juce::juce_audio_utils
            juce::juce_audio_processors
            juce::juce_audio_devices
            juce::juce_gui_extra
        PUBLIC
            juce::juce_recommended_config_flags)
endfunction()

# Executables that use the GUI library link it the way JUCE's own format wrappers do: privately,
# with its include folders and definitions re-exported.
function(kelvo_link_gui_library target)
    target_link_libraries(${target} PRIVATE Kelvo kelvo_warnings)
    target_include_directories(${target} PRIVATE $<TARGET_PROPERTY:Kelvo,INCLUDE_DIRECTORIES>)
endfunction()
