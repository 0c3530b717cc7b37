cmake_minimum_required(VERSION 3.25)
# Refuses a core file that includes anything but the standard library and the core at or
# below its own folder. The core is a one-way stack: each folder of `core_order` builds on
# those before it and never includes one after it, so the folders read in that order.
# Run as: cmake -DROOT=<src> -DFILES=<a;b> -DSTAMP=<file> -P CheckCoreIncludes.cmake
set(standard_headers
  algorithm any array atomic barrier bit bitset cassert cctype cerrno cfloat charconv
  chrono cinttypes climits clocale cmath codecvt compare complex concepts condition_variable
  coroutine csetjmp csignal cstdarg cstddef cstdint cstdio cstdlib cstring ctime cuchar
  cwchar cwctype deque exception execution expected filesystem format forward_list fstream
  functional future initializer_list iomanip ios iosfwd iostream istream iterator latch
  limits list locale map memory memory_resource mutex new numbers numeric optional ostream
  queue random ranges ratio regex scoped_allocator semaphore set shared_mutex source_location
  span sstream stack stdexcept stop_token streambuf string string_view syncstream
  system_error thread tuple type_traits typeindex typeinfo unordered_map unordered_set
  utility valarray variant vector version)
# From the bottom: the texts, the ports, then the subsystems.
set(core_order text platform settings scanner handoff run)
list(JOIN core_order ", " order_text)

set(bad "")
foreach(file IN LISTS FILES)
  file(RELATIVE_PATH relative "${ROOT}" "${file}")
  string(REGEX MATCH "^[^/]+" own_folder "${relative}")
  list(FIND core_order "${own_folder}" own_rank)
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS lines)
    if(line MATCHES "<([^>]+)>")
      if(NOT CMAKE_MATCH_1 IN_LIST standard_headers)
        list(APPEND bad "${relative}: ${line} (not the standard library)")
      endif()
    elseif(line MATCHES "\"([^/\"]+)/([^\"]+)\"")
      set(folder "${CMAKE_MATCH_1}")
      list(FIND core_order "${folder}" rank)
      if(rank EQUAL -1 OR (folder STREQUAL "platform" AND CMAKE_MATCH_2 MATCHES "/"))
        list(APPEND bad "${relative}: ${line} (outside the core and its ports)")
      elseif(rank GREATER own_rank)
        list(APPEND bad "${relative}: ${line} (${folder} stands above ${own_folder})")
      endif()
    else()
      list(APPEND bad "${relative}: ${line}")
    endif()
  endforeach()
endforeach()

if(bad)
  list(JOIN bad "\n  " report)
  message(FATAL_ERROR "A core file may include only the standard library and the core "
                      "folders at or below its own, in the order ${order_text}:\n  ${report}")
endif()
file(TOUCH "${STAMP}")
