// The one error type of the store writer: a sentence a person can act on.
#pragma once

#include <stdexcept>

namespace qel2::mkstore {

class MkstoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace qel2::mkstore
