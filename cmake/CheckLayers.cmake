# Fails when a source file includes a layer above its own, or Qt outside src/ui.
# Run by the build (src/CMakeLists.txt, target tonmira_layer_check):
#   cmake -DSRC=<src dir> -DSTAMP=<file touched on success> -P CheckLayers.cmake
# Every project include names its folder ("doc/WavFile.h"), so the folder is the layer.

# Bottom to top; a layer may include itself and every layer before it.
set(core_layers base doc dsp audio collect session view)
# Front ends: everything in the core, nothing of each other.
set(front_ends cli ui)

set(errors "")
foreach(layer IN LISTS core_layers front_ends)
  if(NOT IS_DIRECTORY "${SRC}/${layer}")
    continue()
  endif()
  list(FIND core_layers ${layer} rank)
  file(GLOB_RECURSE files "${SRC}/${layer}/*.h" "${SRC}/${layer}/*.cpp")
  foreach(file IN LISTS files)
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS includes)
      string(REGEX MATCH "[<\"]([A-Za-z_]+)/" _ "${line}")
      set(target "${CMAKE_MATCH_1}")
      set(bad FALSE)
      if(line MATCHES "<Q[A-Za-z]*[>/]" AND NOT layer STREQUAL "ui")
        set(bad TRUE)
      elseif(target)
        list(FIND core_layers ${target} target_rank)
        list(FIND front_ends ${target} target_front)
        if(target_front GREATER -1 AND NOT target STREQUAL layer)
          set(bad TRUE)
        elseif(rank GREATER -1 AND target_rank GREATER rank)
          set(bad TRUE)
        endif()
      endif()
      if(bad)
        file(RELATIVE_PATH rel "${SRC}" "${file}")
        string(STRIP "${line}" line)
        string(APPEND errors "  src/${rel}: ${line}\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(errors)
  message(FATAL_ERROR "An include climbs a layer (order: ${core_layers}; Qt only in ui):\n${errors}")
endif()
file(TOUCH "${STAMP}")
