# qt7020_git_version(<var> [<revision>]) sets <var> to the version of a
# commit: X.Y.Z.N from the nearest tag vX.Y.Z and the N commits since it, or
# 0.1.0.N with N the commits in the history while nothing is tagged. Every
# commit that lands counts one more than the last, so each package orders
# above the one before it for dpkg; a first tag has to be above 0.1.0 for that
# to hold across it. Without git (a source tarball) it is 0.1.0.
#
# As a script it prints the version of REVISION (default HEAD), for the
# package test to compare with the commit before:
#   cmake -DREVISION=HEAD~1 -P cmake/GitVersion.cmake
set(QT7020_BASE_VERSION 0.1.0)
get_filename_component(QT7020_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)

function(qt7020_git_version var)
  set(revision HEAD)
  if(ARGC GREATER 1)
    set(revision ${ARGV1})
  endif()
  set(${var} ${QT7020_BASE_VERSION} PARENT_SCOPE)
  find_program(QT7020_GIT git)
  if(NOT QT7020_GIT)
    return()
  endif()
  execute_process(COMMAND ${QT7020_GIT} describe --tags --long --always ${revision}
                  WORKING_DIRECTORY ${QT7020_SOURCE_DIR} OUTPUT_VARIABLE described
                  RESULT_VARIABLE failed OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(failed)
    return()
  endif()
  if(described MATCHES "^v?([0-9]+\\.[0-9]+\\.[0-9]+)-([0-9]+)-g[0-9a-f]+$")
    set(${var} ${CMAKE_MATCH_1}.${CMAKE_MATCH_2} PARENT_SCOPE)
    return()
  endif()
  # An untagged history (or a tag that is no version): --always gave the hash alone.
  execute_process(COMMAND ${QT7020_GIT} rev-list --count ${revision}
                  WORKING_DIRECTORY ${QT7020_SOURCE_DIR} OUTPUT_VARIABLE count
                  RESULT_VARIABLE failed OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT failed)
    set(${var} ${QT7020_BASE_VERSION}.${count} PARENT_SCOPE)
  endif()
endfunction()

# A commit or a checkout reconfigures, so that the version never lags HEAD.
function(qt7020_version_follows_git)
  if(NOT QT7020_GIT)
    return()
  endif()
  execute_process(COMMAND ${QT7020_GIT} rev-parse --absolute-git-dir
                  WORKING_DIRECTORY ${QT7020_SOURCE_DIR} OUTPUT_VARIABLE dir
                  RESULT_VARIABLE failed OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT failed AND EXISTS ${dir}/logs/HEAD)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${dir}/logs/HEAD)
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  if(NOT REVISION)
    set(REVISION HEAD)
  endif()
  qt7020_git_version(version ${REVISION})
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo ${version})
endif()
