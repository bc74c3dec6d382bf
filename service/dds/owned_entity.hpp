// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

#ifndef SERVICE__DDS__OWNED_ENTITY_HPP_
#define SERVICE__DDS__OWNED_ENTITY_HPP_

#include <string>
#include <utility>

#include "dds/dds.h"

#include "service/dds/dds_error.hpp"

namespace typesupport_dds
{

/// A DDS entity (reader, writer, condition, waitset) deleted with its owner.
class OwnedEntity
{
public:
  /// Takes `entity`, which must be valid: throws DdsError naming `what` if
  /// `entity` is a Cyclone error code instead.
  OwnedEntity(const std::string & what, dds_entity_t entity)
  : entity_(checked_entity(what, entity)) {}

  /// Deletes the entity (and its children).
  ~OwnedEntity() {dds_delete(entity_);}

  /// Not copyable: it owns the entity.
  OwnedEntity(const OwnedEntity &) = delete;
  /// Not copyable: it owns the entity.
  OwnedEntity & operator=(const OwnedEntity &) = delete;

  /// The entity.
  dds_entity_t get() const {return entity_;}

private:
  dds_entity_t entity_;
};

}  // namespace typesupport_dds

#endif  // SERVICE__DDS__OWNED_ENTITY_HPP_
