# Flags every target of the project shares.
add_library(tivorn_flags INTERFACE)
target_compile_options(tivorn_flags INTERFACE -Wall -Wextra
  # Same floating-point bits on every build: no fused multiply-add, SSE2 not x87.
  -ffp-contract=off)
if(TIVORN_WERROR)
  target_compile_options(tivorn_flags INTERFACE -Werror)
endif()
if(CMAKE_SYSTEM_PROCESSOR MATCHES "i[3-6]86" OR CMAKE_CXX_COMPILER MATCHES "i686")
  target_compile_options(tivorn_flags INTERFACE -msse2 -mfpmath=sse)
endif()
if(WIN32)
  # Self-contained DLL and programs: no libgcc, libstdc++ or winpthread DLLs needed.
  target_link_options(tivorn_flags INTERFACE -static -static-libgcc -static-libstdc++)
  target_compile_definitions(tivorn_flags INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX)
endif()
if(TIVORN_SANITIZE)
  target_compile_options(tivorn_flags INTERFACE -fsanitize=${TIVORN_SANITIZE} -fno-omit-frame-pointer
    -fno-sanitize-recover=all)
  target_link_options(tivorn_flags INTERFACE -fsanitize=${TIVORN_SANITIZE})
endif()
