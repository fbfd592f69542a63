# Builds the sample database from its SQL: cmake -DSQLITE3=... -DSQL=... -DOUTPUT=... -P this.
# The file is made aside and renamed, so a failed build never leaves half a database behind.
set(partial "${OUTPUT}.partial")
file(REMOVE "${partial}")
execute_process(COMMAND "${SQLITE3}" -bail "${partial}"
                INPUT_FILE "${SQL}" RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    file(REMOVE "${partial}")
    message(FATAL_ERROR "Building the sample database from ${SQL} failed: ${errors}")
endif()
file(RENAME "${partial}" "${OUTPUT}")
