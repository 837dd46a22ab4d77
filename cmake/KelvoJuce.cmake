# How Kelvo puts JUCE together.
#
# JUCE modules are interface libraries whose sources compile into whatever links them, together with
# the sources of every module they depend on. So that each module compiles once per configuration,
# our own code never links a module target: it sees the module headers and the shared
# configuration through kelvo_juce_headers, and the modules are compiled in layers of static
# libraries, each holding only its own modules and linking the layer below:
#
#   kelvo_juce_engine    core, events, data structures, audio basics, audio devices (no GUI)
#   kelvo_juce_graphics  graphics
#   kelvo_juce_gui       GUI basics and extras
#   kelvo_juce_plugin    audio processors, formats and utilities, as a plug-in has them
#   kelvo_juce_host      audio processors with plug-in hosting, for the programs that load ours
#
# The engine's tests, tools and benchmarks link kelvo_juce_engine, make_artwork the graphics, the
# plug-in's shared code kelvo_juce_plugin, and the hosts (the hosting tests, the Windows smoke host)
# kelvo_juce_host. Only the audio processors module compiles twice: a plug-in carries no host.

set(KELVO_PRODUCT_NAME "Kelvo VST")

# The product's identity, kept forever: hosts save sessions under it. A URN, as no web address is
# owned for it; it names the LV2 plug-in (and its parameters, "<uri>:p020") and stands in the VST3
# factory's address field.
set(KELVO_IDENTITY "urn:marvex:kelvo")

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
    # VST3 parameter ids are the parameters' indices, which hosts keep in saved sessions: never change.
    JUCE_FORCE_USE_LEGACY_PARAM_IDS=1
    JUCE_MODAL_LOOPS_PERMITTED=1
    JUCE_STRICT_REFCOUNTEDPOINTER=1
    JUCE_SILENCE_XCODE_15_LINKER_WARNING=1
    $<IF:$<CONFIG:Debug>,DEBUG=1 _DEBUG=1,NDEBUG=1 _NDEBUG=1>)

set(KELVO_ENGINE_JUCE_MODULES juce_core juce_events juce_data_structures juce_audio_basics juce_audio_devices)

# Warnings for our own sources, never for JUCE's module sources: the targets that hold our code
# link kelvo_warnings. The plug-in's shared code also compiles one JUCE source, which is kept quiet
# where it comes in (kelvo_add_plugin).
set(KELVO_WARNING_FLAGS
    $<$<CXX_COMPILER_ID:GNU,Clang,AppleClang>:-Wall$<SEMICOLON>-Wextra$<SEMICOLON>-Wshadow$<SEMICOLON>-Wnon-virtual-dtor$<SEMICOLON>-Woverloaded-virtual>
    $<$<CXX_COMPILER_ID:MSVC>:/W4>)
add_library(kelvo_warnings INTERFACE)
target_compile_options(kelvo_warnings INTERFACE ${KELVO_WARNING_FLAGS})

# Adds our sources (paths relative to the calling folder) to a target, with our warnings.
function(kelvo_add_sources target)
    target_sources(${target} PRIVATE ${ARGN})
    target_link_libraries(${target} PRIVATE kelvo_warnings)
endfunction()

# Our own sources compile in batches of a few files each (a unity build, KELVO_UNITY_BUILD): each
# file includes JUCE's module headers, which take most of its compile time (about five of the six
# seconds a GUI file takes), and a batch reads them once. File-local names must therefore differ
# between the files of a target.
function(kelvo_unity_build)
    if(NOT KELVO_UNITY_BUILD)
        return()
    endif()
    foreach(target IN LISTS ARGN)
        if(TARGET ${target})
            set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE ${KELVO_UNITY_BATCH_SIZE})
            # GCC takes every file after the first in a batch for a header, and so warns that the
            # fixtures in each test file's anonymous namespace are "used in a header".
            target_compile_options(${target} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Wno-subobject-linkage>)
        endif()
    endforeach()
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

# Compiles the named JUCE modules' own sources into target, with their include folders,
# definitions, options and system libraries, but without the sources of the modules they depend on
# (those come from the layer that target links).
function(kelvo_compile_juce_modules target)
    get_property(all_modules GLOBAL PROPERTY _juce_module_names)
    foreach(module IN LISTS ARGN)
        get_target_property(sources ${module} INTERFACE_SOURCES)
        target_sources(${target} PRIVATE ${sources})
        foreach(property INCLUDE_DIRECTORIES COMPILE_DEFINITIONS COMPILE_OPTIONS COMPILE_FEATURES)
            get_target_property(values ${module} INTERFACE_${property})
            if(values)
                set_property(TARGET ${target} APPEND PROPERTY ${property} ${values})
                set_property(TARGET ${target} APPEND PROPERTY INTERFACE_${property} ${values})
                # JUCE's headers are not ours to warn about.
                if(property STREQUAL "INCLUDE_DIRECTORIES")
                    set_property(TARGET ${target} APPEND PROPERTY INTERFACE_SYSTEM_INCLUDE_DIRECTORIES ${values})
                endif()
            endif()
        endforeach()
        # The system libraries and header-only SDK targets go along; the modules depended on do not.
        get_target_property(libraries ${module} INTERFACE_LINK_LIBRARIES)
        foreach(library IN LISTS libraries)
            string(REGEX REPLACE "^juce::" "" bare "${library}")
            if(library AND NOT bare IN_LIST all_modules)
                target_link_libraries(${target} PUBLIC ${library})
            endif()
        endforeach()
    endforeach()
endfunction()

# One layer of JUCE modules: a static library that links the layer below (if any), compiled with
# the shared configuration and hidden symbols (it goes into the plug-in binaries).
function(kelvo_add_juce_layer target below)
    add_library(${target} STATIC)
    kelvo_compile_juce_modules(${target} ${ARGN})
    target_compile_definitions(${target} PRIVATE ${KELVO_JUCE_DEFINITIONS} JUCE_STANDALONE_APPLICATION=1)
    target_link_libraries(${target} PUBLIC kelvo_juce_headers ${below})
    set_target_properties(${target} PROPERTIES
        C_VISIBILITY_PRESET hidden CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
endfunction()

function(kelvo_add_juce_engine_modules target)
    kelvo_add_juce_layer(${target} "" ${KELVO_ENGINE_JUCE_MODULES})
    # The standalone application's JACK client keeps the plug-in's name.
    target_compile_definitions(${target} PRIVATE JUCE_JACK_CLIENT_NAME="${KELVO_PRODUCT_NAME}")
endfunction()

# The GUI layers above kelvo_juce_engine. The modules compile as the plug-in's shared code compiled
# them: under the plug-in's name (what accessibility reports) and as a build with a standalone
# application (no splash-screen object in windows).
function(kelvo_add_juce_gui_layers)
    kelvo_add_juce_layer(kelvo_juce_graphics kelvo_juce_engine juce_graphics)
    if(WIN32)
        # Debian's JUCE has no image codecs of its own: the cross-built static ones.
        target_link_libraries(kelvo_juce_graphics PUBLIC kelvo_image_codecs)
        kelvo_quiet_juce_mingw_note(kelvo_juce_graphics)
    else()
        target_link_libraries(kelvo_juce_graphics PUBLIC juce::pkgconfig_JUCE_IMG_LINUX_DEPS)
    endif()
    if(NOT KELVO_BUILD_PLUGIN)
        return()
    endif()

    kelvo_add_juce_layer(kelvo_juce_gui kelvo_juce_graphics juce_gui_basics juce_gui_extra)
    set(plugin_identity JucePlugin_Name="${KELVO_PRODUCT_NAME}" JucePlugin_Build_Standalone=1)
    target_compile_definitions(kelvo_juce_gui PRIVATE ${plugin_identity})

    kelvo_add_juce_layer(kelvo_juce_plugin kelvo_juce_gui juce_audio_processors juce_audio_formats juce_audio_utils)
    target_compile_definitions(kelvo_juce_plugin PRIVATE ${plugin_identity})

    # The hosts load our VST3 (and natively our LV2) through JUCE's own hosting.
    kelvo_add_juce_layer(kelvo_juce_host kelvo_juce_gui juce_audio_processors)
    target_compile_definitions(kelvo_juce_host PUBLIC JUCE_PLUGINHOST_VST3=1 $<$<NOT:$<BOOL:${WIN32}>>:JUCE_PLUGINHOST_LV2=1>)
endfunction()

# Debian's JUCE leaves out its bundled image codecs; on Linux its CMake files link the system
# libpng and libjpeg. A Windows cross-build links static copies built for Windows instead (see
# scripts/windows.sh), with the mingw sysroot's zlib.
if(WIN32)
    # Looked up at each configure (never cached), so that a new prefix is taken up.
    foreach(found KELVO_WIN_PNG KELVO_WIN_JPEG KELVO_WIN_ZLIB KELVO_WIN_PNG_INCLUDE KELVO_WIN_JPEG_INCLUDE)
        unset(${found} CACHE)
    endforeach()
    find_library(KELVO_WIN_PNG NAMES libpng16.a png16 png NO_CACHE REQUIRED)
    find_library(KELVO_WIN_JPEG NAMES libjpeg.a jpeg NO_CACHE REQUIRED)
    find_library(KELVO_WIN_ZLIB NAMES libz.a z NO_CACHE REQUIRED)
    find_path(KELVO_WIN_PNG_INCLUDE png.h NO_CACHE REQUIRED)
    find_path(KELVO_WIN_JPEG_INCLUDE jpeglib.h NO_CACHE REQUIRED)
    add_library(kelvo_image_codecs INTERFACE)
    target_include_directories(kelvo_image_codecs SYSTEM INTERFACE ${KELVO_WIN_PNG_INCLUDE} ${KELVO_WIN_JPEG_INCLUDE})
    target_link_libraries(kelvo_image_codecs INTERFACE ${KELVO_WIN_PNG} ${KELVO_WIN_JPEG} ${KELVO_WIN_ZLIB})
endif()

# Under mingw JUCE's graphics module draws text through GDI, not DirectWrite, and says so with a
# #warning in each build; that is known (README, Windows), so the note is kept out of the output.
function(kelvo_quiet_juce_mingw_note target)
    if(MINGW)
        set_source_files_properties(${JUCE_MODULES_DIR}/juce_graphics/juce_graphics.cpp
            TARGET_DIRECTORY ${target} PROPERTIES COMPILE_OPTIONS -Wno-cpp)
    endif()
endfunction()

function(kelvo_add_plugin target)
    # LV2 needs its manifest generated by running the built plug-in, which a cross-build cannot.
    if(CMAKE_CROSSCOMPILING)
        set(formats VST3 Standalone)
    else()
        set(formats VST3 LV2 Standalone)
    endif()
    if(KELVO_VST2_SDK_PATH)
        juce_set_vst2_sdk_path("${KELVO_VST2_SDK_PATH}")
        list(APPEND formats VST)
    endif()

    # JUCE's CMake wants an LV2 URI that starts with http; LV2 takes any URI, and ours is a URN (as
    # Ardour's own plug-ins' are). That one warning is left out; every other message passes.
    function(message mode)
        if(NOT (mode STREQUAL "WARNING" AND ARGV1 MATCHES "^LV2URI should be well-formed"))
            _message(${ARGV})
        endif()
    endfunction()

    juce_add_plugin(${target}
        PRODUCT_NAME "${KELVO_PRODUCT_NAME}"
        COMPANY_NAME "Marvex"
        COMPANY_WEBSITE "${KELVO_IDENTITY}"
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
        LV2URI "${KELVO_IDENTITY}"
        VERSION ${PROJECT_VERSION})

    # Debian's JUCE ignores the URI above; the wrapper reads this macro instead. The standalone
    # application is our own (host/StandaloneApp.h): its window offers the audio settings alone.
    target_compile_definitions(${target} PUBLIC
        JucePlugin_LV2URI="${KELVO_IDENTITY}"
        JUCE_USE_CUSTOM_PLUGIN_STANDALONE_APP=1
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
    # and JUCE would otherwise still be visible. (A Windows DLL exports only what is marked for it.)
    if(NOT WIN32)
        set(exports_map ${PROJECT_SOURCE_DIR}/cmake/PluginExports.map)
        foreach(format VST3 LV2 VST)
            if(TARGET ${target}_${format})
                target_link_options(${target}_${format} PRIVATE "LINKER:--version-script=${exports_map}")
                set_property(TARGET ${target}_${format} APPEND PROPERTY LINK_DEPENDS ${exports_map})
            endif()
        endforeach()
    endif()

    # The shared code's one JUCE source (the format wrappers' helpers, from JUCE's own target) is
    # not ours to warn about; with options of its own it also stays out of the unity batches.
    set_source_files_properties(${JUCE_MODULES_DIR}/juce_audio_plugin_client/juce_audio_plugin_client_utils.cpp
        TARGET_DIRECTORY ${target} PROPERTIES COMPILE_OPTIONS -w)

    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target}
        PRIVATE
            kelvo_warnings
            kelvo_engine
            kelvo_resources
            kelvo_juce_plugin
        PUBLIC
            juce::juce_recommended_config_flags)
endfunction()

# Executables that use the GUI library link it the way JUCE's own format wrappers do: privately,
# with its include folders and definitions re-exported.
function(kelvo_link_gui_library target)
    target_link_libraries(${target} PRIVATE Kelvo kelvo_warnings)
    target_include_directories(${target} PRIVATE $<TARGET_PROPERTY:Kelvo,INCLUDE_DIRECTORIES>)
endfunction()
