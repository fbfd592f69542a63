#pragma once

// Where the rows of an open result live: in the database, read a window at a time as they are
// shown (server), or all of them in the program (client).
enum TCursorLocation { clUseServer, clUseClient };
