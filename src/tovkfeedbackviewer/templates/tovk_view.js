placeholder tovk_view.js
