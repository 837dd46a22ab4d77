# Checks that the includes between the source folders form no cycle (cmake -DROOT=<source dir> -P).
#
# A folder is a top-level source folder, or a folder under ui/ (ui/main, ui/widgets, ...); its
# subfolders belong to it (files/platform is files). An include names the folder it reaches by its
# path from the source root ("link/MidiCntrState.h"); the headers generated from resources/
# (KelvoArt.h, FactoryData.h) reach resources. An edge A -> B says that some file in A includes a
# file of B. Every edge that lies on a cycle is reported with the file that makes it and the way
# back, and the check fails.

cmake_minimum_required(VERSION 3.22)

if(NOT ROOT)
    message(FATAL_ERROR "usage: cmake -DROOT=<source dir> -P CheckLayout.cmake")
endif()

set(top_folders model files link librarian instrument host resources)
set(generated_headers "KelvoArt.h=resources" "FactoryData.h=resources")

# The edges that may close a cycle, each with its reason. An entry whose edge has gone is reported
# too, so that the list never outlives what it excuses.
set(allowed_edges
    # The editor shell (host/MarvexAudioProcessorEditor) builds the main component in the look of
    # the widgets: host <-> ui is the plug-in's one intended cycle.
    "host -> ui/main"
    "host -> ui/widgets")

file(GLOB ui_folders LIST_DIRECTORIES true RELATIVE ${ROOT} ${ROOT}/ui/*)
set(folders ${top_folders})
foreach(dir IN LISTS ui_folders)
    if(IS_DIRECTORY ${ROOT}/${dir})
        list(APPEND folders ${dir})
    endif()
endforeach()

# The folder an include path reaches, or "" when it is not one of ours.
function(folder_of path out)
    set(result "")
    foreach(entry IN LISTS generated_headers)
        string(REPLACE "=" ";" pair "${entry}")
        list(GET pair 0 header)
        list(GET pair 1 folder)
        if(path STREQUAL header)
            set(result ${folder})
        endif()
    endforeach()
    if(path MATCHES "^ui/([^/]+)/")
        set(result "ui/${CMAKE_MATCH_1}")
    elseif(path MATCHES "^([^/]+)/")
        if(CMAKE_MATCH_1 IN_LIST top_folders)
            set(result ${CMAKE_MATCH_1})
        endif()
    endif()
    set(${out} "${result}" PARENT_SCOPE)
endfunction()

# Edges: edge_<i>_<j> holds the first file (with its line) that makes the edge from folder i to j.
list(LENGTH folders count)
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
    list(GET folders ${i} from)
    file(GLOB_RECURSE sources RELATIVE ${ROOT} ${ROOT}/${from}/*.h ${ROOT}/${from}/*.cpp)
    foreach(source IN LISTS sources)
        file(STRINGS ${ROOT}/${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
        foreach(line IN LISTS lines)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]+)[\">].*$" "\\1" path "${line}")
            folder_of("${path}" to)
            if(to STREQUAL "" OR to STREQUAL from)
                continue()
            endif()
            list(FIND folders ${to} j)
            if(NOT DEFINED edge_${i}_${j})
                set(edge_${i}_${j} "${source} includes ${path}")
            endif()
        endforeach()
    endforeach()
endforeach()

# Allowed edges leave the graph; a stale allowance is an error of its own.
set(failed FALSE)
foreach(entry IN LISTS allowed_edges)
    string(REPLACE " -> " ";" pair "${entry}")
    list(GET pair 0 from)
    list(GET pair 1 to)
    list(FIND folders ${from} i)
    list(FIND folders ${to} j)
    if(i LESS 0 OR j LESS 0 OR NOT DEFINED edge_${i}_${j})
        message(SEND_ERROR "allowed edge \"${entry}\" no longer exists: remove it from ${CMAKE_CURRENT_LIST_FILE}")
        set(failed TRUE)
    else()
        unset(edge_${i}_${j})
    endif()
endforeach()

# next_<i>_<j>: the first step on a path from i to j (a transitive closure that remembers its way).
foreach(i RANGE ${last})
    foreach(j RANGE ${last})
        if(DEFINED edge_${i}_${j})
            set(next_${i}_${j} ${j})
        endif()
    endforeach()
endforeach()
foreach(k RANGE ${last})
    foreach(i RANGE ${last})
        if(NOT DEFINED next_${i}_${k})
            continue()
        endif()
        foreach(j RANGE ${last})
            if(NOT DEFINED next_${i}_${j} AND DEFINED next_${k}_${j})
                set(next_${i}_${j} ${next_${i}_${k}})
            endif()
        endforeach()
    endforeach()
endforeach()

# An edge i -> j is on a cycle when j leads back to i.
set(cycles 0)
set(reported "")
foreach(i RANGE ${last})
    foreach(j RANGE ${last})
        if(NOT DEFINED edge_${i}_${j} OR NOT DEFINED next_${j}_${i})
            continue()
        endif()
        list(GET folders ${i} from)
        list(GET folders ${j} to)
        set(report "include cycle: ${from} -> ${to}")
        set(way "  ${from} -> ${to}: ${edge_${i}_${j}}")
        set(key "${i}>${j}")
        set(at ${j})
        while(NOT at EQUAL i)
            set(step ${next_${at}_${i}})
            list(GET folders ${at} a)
            list(GET folders ${step} b)
            string(APPEND report " -> ${b}")
            string(APPEND way "\n  ${a} -> ${b}: ${edge_${at}_${step}}")
            list(APPEND key "${at}>${step}")
            set(at ${step})
        endwhile()
        # The same cycle is found from each of its edges: tell it once.
        list(SORT key)
        list(JOIN key "," key)
        if(NOT key IN_LIST reported)
            list(APPEND reported ${key})
            message("${report}\n${way}")
        endif()
        math(EXPR cycles "${cycles} + 1")
    endforeach()
endforeach()

# The link engine's parts know nothing of the facade that holds them: each is built and tested alone.
set(engine_parts link/EngineEventHub link/IncomingMidiDecoder link/SynthMemory link/BankTransfer)
foreach(part IN LISTS engine_parts)
    foreach(source IN ITEMS ${part}.h ${part}.cpp)
        file(STRINGS ${ROOT}/${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]link/MidiCntrState\\.h[\">]")
        if(lines)
            message(SEND_ERROR "${source} includes link/MidiCntrState.h: the engine's parts must not know the facade")
            set(failed TRUE)
        endif()
    endforeach()
endforeach()

if(cycles GREATER 0)
    message(SEND_ERROR "${cycles} include edges between folders lie on a cycle")
    set(failed TRUE)
endif()
if(NOT failed)
    list(JOIN folders ", " names)
    message("no include cycle between ${names} (allowed: ${allowed_edges})")
endif()
