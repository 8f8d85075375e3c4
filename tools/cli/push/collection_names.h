// Names on the server for calendar ids and UIDs. Ids may hold ':', '/',
// spaces or any other byte, and a server decodes %XX before it stores a
// name (so "room%2F101" would become a sub-folder). Each name therefore
// uses only letters, digits, '-' and '_':
//   letters, digits and '-' stay; any other byte becomes _XX (hex);
//   the empty id is "_";
//   a name longer than 64 characters keeps its first 40 and ends with
//   "~" and 16 hex digits of the id's MD5 ('~' never occurs otherwise).
// Different ids never share a name (short of an MD5 collision between two
// long ids that begin alike), and the same id always gets the same one.
#pragma once

#include <string>
#include <string_view>

namespace qel2::cli::push {

std::string CollectionName(std::string_view calendarId);
// The resource of one UID: its name plus ".ics".
std::string ResourceName(std::string_view uid);

}  // namespace qel2::cli::push
