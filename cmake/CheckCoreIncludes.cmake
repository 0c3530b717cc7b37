cmake_minimum_required(VERSION 3.25)
# Refuses a core file that includes anything but the standard library, the core and the
# ports. Run as: cmake -DROOT=<src> -DFILES=<a;b> -DSTAMP=<file> -P CheckCoreIncludes.cmake
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
  utility valarray variant vector version
  # The library's data-parallel types (Parallelism TS 2), part of libstdc++.
  experimental/simd)
set(core_folders run settings scanner handoff text platform)

set(bad "")
foreach(file IN LISTS FILES)
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS lines)
    if(line MATCHES "<([^>]+)>")
      if(NOT CMAKE_MATCH_1 IN_LIST standard_headers)
        list(APPEND bad "${file}: ${line}")
      endif()
    elseif(line MATCHES "\"([^/\"]+)/([^\"]+)\"")
      set(folder "${CMAKE_MATCH_1}")
      set(rest "${CMAKE_MATCH_2}")
      if(NOT folder IN_LIST core_folders OR (folder STREQUAL "platform" AND rest MATCHES "/"))
        list(APPEND bad "${file}: ${line}")
      endif()
    else()
      list(APPEND bad "${file}: ${line}")
    endif()
  endforeach()
endforeach()

if(bad)
  list(JOIN bad "\n  " report)
  message(FATAL_ERROR "The core may include only the standard library, the core and the ports:\n  ${report}")
endif()
file(TOUCH "${STAMP}")
