// xmlPortal: the portal layer between the generic PortalImpl and the solver
// portals. It adds the portal's own XML tag-definition files ahead of the
// tagging engines, a generic discovery of values in XML data files, writing
// design values into XML inputs by element path, and the parsed-data cache.
// Every step is virtual so a solver portal can replace single ones.
#ifndef ORLIX_XMLPORTAL_XML_PORTAL_H
#define ORLIX_XMLPORTAL_XML_PORTAL_H

#include <pugixml.hpp>
#include <vector>

#include "portal/portal_impl.h"

class xmlPortal : public ORLIX::Portals::PortalImpl {
 public:
  using String = ORLIX::String;
  using StringList = ORLIX::StringList;
  using StringStringMap = ORLIX::StringStringMap;
  using TagList = ORLIX::Portals::TagList;
  using TagData = ORLIX::Portals::TagData;
  using PortalItem = ORLIX::PortalItem;
  using PortalItemList = ORLIX::PortalItemList;

  xmlPortal(ORLIX::IPortalHost* host, const String& portalName);
  ~xmlPortal() override;

  String name() const override;

  // IPortal
  bool parseInputFile(const String& inputPath, const StringStringMap& analysisProps,
                      PortalItemList& items, String& message) override;
  bool parseOutputFile(const String& outputPath, const StringStringMap& analysisProps,
                       PortalItemList& items, String& message) override;
  bool resolveResponse(const PortalItem& item, const StringList& keyPath, int mode,
                       ORLIX::ResponseRequestList& requests) override;
  bool writeInputTagData(const String& fileName, TagList& tags,
                         const StringStringMap& analysisProps, StringStringMap& outData,
                         String& message) override;
  bool writeOutputTagData(const String& fileName, TagList& tags,
                          const StringStringMap& analysisProps, StringStringMap& outData,
                          String& message) override;
  int readInputTagData(const String& tagFilePath, const StringStringMap& analysisProps,
                       TagList& tags, StringStringMap& outData, String& message) override;
  int readOutputTagData(const String& tagFilePath, const StringStringMap& analysisProps,
                        TagList& tags, StringStringMap& outData, String& message) override;
  bool updateInputFiles(const StringStringMap& analysisProps, const ORLIX::HostValues* values,
                        String& message) override;

  // XML discovery, one level at a time.
  virtual bool parseElement(pugi::xml_node node, PortalItemList& items, String& message,
                            bool withSiblings);
  virtual bool collectLeaves(pugi::xml_node node, PortalItem& item, String& message);
  virtual bool isLeafElement(pugi::xml_node node);
  virtual bool isIgnoredElement(pugi::xml_node node);
  virtual void onGroupParsed(PortalItem& item, const String& elementName);
  virtual ORLIX::PortalEntry makeLeafEntry(pugi::xml_node node);
  virtual String groupName(const PortalItem& item, const String& childElementName);
  virtual String elementName(pugi::xml_node node);
  virtual bool acceptsDocument(pugi::xml_node rootElement, int context);

  // The portal's own XML tag-definition files.
  virtual void writeTagAttributes(pugi::xml_node& tagElement, const TagData& tag);
  virtual bool writesPropEntry(const String& key);
  virtual bool writesPortalDataEntry(const String& key);
  virtual bool readsPropEntry(const String& key);
  virtual bool readsPortalDataEntry(const String& key);
  // After the tags are in the document: -1 save in any case, 0 save only when
  // the root has a child, anything else do not save.
  virtual int writeExtraTagData(pugi::xml_document& document,
                                const StringStringMap& analysisProps, StringStringMap& outData);
  virtual void readExtraTagData(pugi::xml_document& document,
                                const StringStringMap& analysisProps, TagList& tags,
                                StringStringMap& outData);

  // Values by element path (names below the root, joined with the separator).
  virtual bool setValueAtPath(const StringList& path, pugi::xml_document& document,
                              const String& value);
  virtual bool getValuesAtPath(const StringList& path, pugi::xml_document& document,
                               std::vector<double>& values, char separator);
  virtual bool getValuesAtDottedPath(const StringList& path, pugi::xml_document& document,
                                     std::vector<double>& values);

  // Whether a data file must be parsed again; `parsedDataFile` gets the cache's path.
  virtual bool loadParsedData(const String& dataFile, String& parsedDataFile,
                              const StringStringMap& analysisProps, bool isInput,
                              String& message, bool checkCache);

  virtual int readTagData(const String& tagFilePath, const StringStringMap& analysisProps,
                          TagList& tags, StringStringMap& outData, bool isInput,
                          String& message);
  virtual void appendTagElements(TagList& tags, pugi::xml_node parent);
  virtual bool writeTagData(const String& baseName, TagList& tags,
                            const StringStringMap& analysisProps, StringStringMap& outData,
                            bool isInput, String& message);
  virtual String tagFileName(const String& baseName, const StringStringMap& analysisProps,
                             bool isInput);
  virtual bool reportsParsing();

 private:
  bool discover(const String& path, PortalItemList& items, String& message);
  bool updateXmlInputs(const StringStringMap& analysisProps, String& message);
  void sendProgress(const String& text, int first, int second);

  String name_;
};

#endif
