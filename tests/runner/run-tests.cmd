@echo off
rem Runs the Quillan Windows tests that this folder holds: each test in a
rem fresh temporary folder, each result printed, then one line
rem "N passed, N failed". Exit code 1 when any test failed.
rem An argument picks tests by name as --gtest_filter does:
rem   run-tests.cmd MorvaskSplit.*:Program.*
"%~dp0run_tests.exe" %*
exit /b %errorlevel%
