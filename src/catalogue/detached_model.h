#pragma once

#include <gtkmm/treemodel.h>
#include <gtkmm/treeview.h>

namespace quillon::catalogue {

/// Takes the model off a tree view while the guard lives. Emptying and
/// filling a detached store costs the view nothing per row; it lays the rows
/// out once when the model comes back. Guards nest: only the outermost one
/// detaches and restores.
class DetachedModel
{
public:
  explicit DetachedModel(Gtk::TreeView& view)
    : tree_view(view)
    , model(view.get_model())
  {
    if (model)
      tree_view.unset_model();
  }
  ~DetachedModel()
  {
    if (model)
      tree_view.set_model(model);
  }
  DetachedModel(const DetachedModel&) = delete;
  DetachedModel& operator=(const DetachedModel&) = delete;

private:
  Gtk::TreeView& tree_view;
  Glib::RefPtr<Gtk::TreeModel> model;
};

} // namespace quillon::catalogue
