// The coordinator and device templates are class templates: see their headers.
