# Cross toolchain for the x64 build of the same sources: the Windows suites
# run on it under 64-bit Wine on machines that cannot run 32-bit programs
# (scripts/windows-arch.sh). Not a deliverable.
set(MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
